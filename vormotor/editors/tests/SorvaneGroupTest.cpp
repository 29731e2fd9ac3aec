#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/editors/SorvaneGroup.h"
#include "vormotor/toolkit/ControlClasses.h"
#include "vormotor/valuelib/ValueFactory.h"

namespace vor::editors {
namespace {

using Options = std::vector<SorvaneGroup::Option>;

class SorvaneTest : public ::testing::Test {
protected:
    SorvaneTest() {
        EditorClasses::Register();
        m_control = ControlClasses::Create("SorvaneCtl.Sorvane", "ConfigRadioGrp", 3);
        group = dynamic_cast<SorvaneGroup*>(m_control.get());
        group->SetFieldKey("Commutation Invert");
        group->SetParamNumber(170);
        m_change = group->Change().Connect([this] { changes.push_back(group->FieldObjRef()->Value()); });
    }

    void Bind() {
        group->SetLockRef(drive->Node()->AccessLock());
        group->SetFieldValueRef(drive->Node()->Param(170));
    }

    std::unique_ptr<sim::SimDrive> drive = sim::SimDrive::Load(VOR_PROFILE_DIR "/servo.json");
    SorvaneGroup* group = nullptr;
    std::vector<std::int32_t> changes;  // the field's value as each Change arrived

private:
    std::unique_ptr<Control> m_control;
    Connection m_change;
};

TEST_F(SorvaneTest, ShowsTheVisibleValueNamesAndFollowsTheField) {
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->TypeName(), "Sorvane");
    Bind();
    // A front-end hears of the options only when they change, however often the field is shown.
    std::int32_t optionNotices = 0;
    const Connection watch = group->PropertyChanged().Connect(
        [&](Control&, const std::string& property) { optionNotices += property == "Options" ? 1 : 0; });
    EXPECT_EQ(group->Options(), (Options{{0, "Normal"}, {1, "Inverted"}}));
    EXPECT_EQ(group->Selected(), 0);
    drive->SetField(170, "Commutation Invert", 1);
    EXPECT_EQ(group->Selected(), 1);
    drive->SetValueNameVisible(170, "Commutation Invert", 0, false);
    EXPECT_EQ(group->Options(), (Options{{1, "Inverted"}}));
    EXPECT_EQ(group->Selected(), 0);
    drive->SetField(170, "Commutation Invert", 0);
    EXPECT_EQ(group->Selected(), -1);
    EXPECT_EQ(optionNotices, 1);
    drive->SetValueNameVisible(170, "Commutation Invert", 0, true);
    EXPECT_EQ(group->Options(), (Options{{0, "Normal"}, {1, "Inverted"}}));
    EXPECT_EQ(group->Selected(), 0);
    EXPECT_EQ(optionNotices, 2);
    EXPECT_TRUE(changes.empty());  // the group's own refreshes never notify
}

TEST_F(SorvaneTest, APickWritesTheFieldThenNotifiesOnce) {
    Bind();
    EXPECT_TRUE(group->UserPick(1));
    EXPECT_EQ(changes, (std::vector<std::int32_t>{1}));
    EXPECT_EQ(drive->Writes(),
              (std::vector<model::DriveWrite>{model::DriveWrite::Field(170, "Commutation Invert", 1)}));
    EXPECT_EQ(group->Selected(), 1);
    EXPECT_EQ(drive->FieldValue(170, "Motor Type"), 0);  // the other fields keep their bits
    EXPECT_THROW(group->UserPick(2), Error);
}

struct RefusedPick {
    const char* what;
    std::function<void(sim::SimDrive&)> arrange;
    std::string message;
};

void PrintTo(const RefusedPick& c, std::ostream* out) {
    *out << c.what;
}

class SorvaneRefusal : public SorvaneTest, public ::testing::WithParamInterface<RefusedPick> {};

TEST_P(SorvaneRefusal, WritesNothingAndDoesNotNotify) {
    Bind();
    GetParam().arrange(*drive);
    EXPECT_FALSE(group->UserPick(1));
    EXPECT_NE(group->Message().find(GetParam().message), std::string::npos) << group->Message();
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(drive->Writes().empty());
    EXPECT_EQ(drive->FieldValue(170, "Commutation Invert"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, SorvaneRefusal,
    ::testing::Values(RefusedPick{"access level", [](sim::SimDrive& d) { d.SetAccessLevel(2); },
                                  "Access level 2 is below the level 3"},
                      RefusedPick{"field locked",
                                  [](sim::SimDrive& d) { d.SetFieldEditable(170, "Commutation Invert", false); },
                                  "not editable"},
                      RefusedPick{"failing write",
                                  [](sim::SimDrive& d) {
                                      d.Faults().FailEveryCall("Field.SetValue", {170, "Commutation Invert"});
                                  },
                                  "Injected failure of Field.SetValue"}));

TEST_F(SorvaneTest, BindsTheFieldNamedByItsKey) {
    Bind();
    auto invert = group->FieldObjRef();
    EXPECT_EQ(invert, drive->Node()->Param(170)->Fields().Item("Commutation Invert"));
    // A value without that field is refused and the old binding stays.
    EXPECT_THROW(group->SetFieldValueRef(drive->Node()->Param(41)), Error);
    EXPECT_EQ(group->FieldObjRef(), invert);

    // Without a key the group edits the field with the empty name, as on a value of its user's own.
    group->SetFieldKey("");
    auto own = valuelib::ValueFactory::Create();
    own->Content().SetSetupFlag(true);
    own->AddField("", 0, 1, "");
    auto sensorless = own->Fields().Item("");
    sensorless->AddValueName(0, "Use Sensors");
    sensorless->AddValueName(1, "Sensorless");
    group->SetLockRef(nullptr);
    group->SetFieldValueRef(own);
    EXPECT_EQ(group->FieldObjRef(), sensorless);
    EXPECT_TRUE(group->UserPick(1));
    EXPECT_EQ(own->Content().Number(), 1);
    EXPECT_EQ(changes, (std::vector<std::int32_t>{1}));
    sensorless->SetValue(0);
    EXPECT_EQ(group->Selected(), 0);
    EXPECT_EQ(changes.size(), 1u);

    group->SetFieldValueRef(nullptr);
    EXPECT_EQ(group->FieldObjRef(), nullptr);
    EXPECT_TRUE(group->Options().empty());
}

TEST_F(SorvaneTest, StoredPropertiesByName) {
    group->Set("orientation", std::int64_t{1});
    group->Set("fontsize", 8.25);
    group->Set("enabled", true);
    group->Set("paramfieldkey", std::string("Encoder Mode"));
    EXPECT_EQ(group->Orientation(), 1);
    EXPECT_EQ(group->GetFont().size, 8.25f);
    EXPECT_EQ(group->FieldKey(), "Encoder Mode");
    EXPECT_EQ(VariantToInteger(group->Get("parameter")), 170);
    group->Set("parameter", Variant());
    EXPECT_EQ(group->ParamNumber(), std::nullopt);
}

}  // namespace
}  // namespace vor::editors
