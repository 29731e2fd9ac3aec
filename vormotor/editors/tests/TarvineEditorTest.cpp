#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/toolkit/ControlClasses.h"
#include "vormotor/toolkit/FontObject.h"
#include "vormotor/toolkit/Frame.h"

namespace vor::editors {
namespace {

class TarvineTest : public ::testing::Test {
protected:
    TarvineTest() {
        EditorClasses::Register();
        m_control = ControlClasses::Create("TarvineCtl.Tarvine", "ParamItem", 18);
        editor = dynamic_cast<TarvineEditor*>(m_control.get());
    }

    std::unique_ptr<sim::SimDrive> drive = sim::SimDrive::Load(VOR_PROFILE_DIR "/servo.json");
    TarvineEditor* editor = nullptr;

private:
    std::unique_ptr<Control> m_control;
};

TEST_F(TarvineTest, ShowsAndFollowsTheBoundValue) {
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->TypeName(), "Tarvine");
    EXPECT_EQ(editor->Caption(), "N/A");
    editor->SetValueObjRef(drive->Node()->Param(25));
    EXPECT_EQ(editor->Caption(), "RMS Time Constant: 30 s");
    EXPECT_EQ(editor->Text(), "30 s");
    drive->SetParam(25, 45);
    EXPECT_EQ(editor->Text(), "45 s");
    EXPECT_EQ(editor->Caption(), "RMS Time Constant: 45 s");

    editor->SetValueObjRef(drive->Node()->Param(41));
    drive->SetParam(25, 50);  // the old value no longer reaches the editor
    EXPECT_EQ(editor->Text(), "32.5 V/krpm");
    EXPECT_EQ(editor->Caption(), "Back EMF Constant (V/krpm)");

    editor->SetValueObjRef(nullptr);
    EXPECT_EQ(editor->Caption(), "N/A");
    EXPECT_EQ(editor->Text(), "");
    EXPECT_EQ(editor->ValueObjRef(), nullptr);
}

struct EditCase {
    std::string input;
    bool accepted;
    std::string message;  // part of the message for a refused edit
};

void PrintTo(const EditCase& c, std::ostream* out) {
    *out << '"' << c.input << '"';
}

class TarvineEdit : public TarvineTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(TarvineEdit, WritesNumbersWithinLimitsAndRefusesTheRest) {
    const auto& c = GetParam();
    editor->SetValueObjRef(drive->Node()->Param(25));
    EXPECT_EQ(editor->UserEdit(c.input), c.accepted);
    if (c.accepted) {
        EXPECT_EQ(editor->Message(), "");
        ASSERT_EQ(drive->Writes().size(), 1u);
        EXPECT_EQ(drive->Writes()[0], model::DriveWrite::Param(25, 60));
        EXPECT_EQ(editor->Text(), "60 s");
    } else {
        EXPECT_NE(editor->Message().find(c.message), std::string::npos) << editor->Message();
        EXPECT_TRUE(drive->Writes().empty());
        EXPECT_EQ(editor->Text(), "30 s");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, TarvineEdit,
    ::testing::Values(EditCase{"60", true, ""}, EditCase{" 60 ", true, ""}, EditCase{"6e1", true, ""},
                      EditCase{"abc", false, "is not a number"}, EditCase{"", false, "is not a number"},
                      EditCase{"60 s", false, "is not a number"}, EditCase{"700", false, "outside the limits 1 to 600"},
                      EditCase{"0", false, "outside the limits"}, EditCase{"30.5", false, "whole number"}));

// Typing and showing take the user's separator, in a default text and in a text with fixed
// decimals alike. The suite runs this once more under each test locale.
TEST_F(TarvineTest, TypesAndShowsTheUsersDecimalSeparator) {
    const char* expected = std::getenv("VOR_EXPECTED_DECIMAL_SEPARATOR");
    const std::string separator = expected != nullptr ? expected : ".";
    ASSERT_EQ(UserDecimalSeparator(), separator) << "the environment's locale was not loaded";
    editor->SetValueObjRef(drive->Node()->Param(24));
    EXPECT_EQ(editor->Text(), "4" + separator + "50 A");
    EXPECT_TRUE(editor->UserEdit("1" + separator + "75"));
    EXPECT_EQ(editor->Text(), "1" + separator + "75 A");
    editor->SetValueObjRef(drive->Node()->Param(41));
    EXPECT_TRUE(editor->UserEdit(" 33" + separator + "25 "));
    EXPECT_EQ(editor->Text(), "33" + separator + "25 V/krpm");
    EXPECT_EQ(drive->Writes(), (std::vector<model::DriveWrite>{model::DriveWrite::Param(24, 1.75),
                                                               model::DriveWrite::Param(41, 33.25)}));
    EXPECT_EQ(editor->UserEdit(separator == "." ? "1,5" : "1.5"), false);
    EXPECT_EQ(editor->Message(), std::string("\"") + (separator == "." ? "1,5" : "1.5") + "\" is not a number.");
}

TEST_F(TarvineTest, RefusesEditsItCannotWrite) {
    EXPECT_FALSE(editor->UserEdit("1"));
    EXPECT_EQ(editor->Message(), "No parameter is bound to this editor.");
    editor->SetValueObjRef(drive->Node()->Param(44));
    EXPECT_FALSE(editor->UserEdit("1"));
    EXPECT_NE(editor->Message().find("read-only"), std::string::npos);
    editor->SetValueObjRef(drive->Node()->Param(41));
    drive->Faults().FailCall("Content.SetNumber", 1, {41});
    EXPECT_FALSE(editor->UserEdit("33"));
    EXPECT_EQ(editor->Message(), "Injected failure of Content.SetNumber of parameter 41");
    EXPECT_TRUE(editor->UserEdit("33"));
    EXPECT_EQ(drive->Writes(), (std::vector<model::DriveWrite>{model::DriveWrite::Param(41, 33)}));
}

TEST_F(TarvineTest, InputToAnUnreachableEditorIsAnError) {
    editor->SetValueObjRef(drive->Node()->Param(41));
    Frame frame("JamFrame", std::nullopt);
    editor->SetContainer(&frame);
    frame.SetEnabled(false);
    EXPECT_THROW(editor->UserEdit("1"), Error);
    frame.SetEnabled(true);
    editor->SetVisible(false);
    EXPECT_THROW(editor->UserEdit("1"), Error);
    EXPECT_TRUE(drive->Writes().empty());
}

TEST_F(TarvineTest, StoredPropertiesByName) {
    editor->Set("paramkey", std::string("RMStime"));
    editor->Set("parameter", std::int64_t{25});
    editor->Set("editorwidth", 800.0);
    Font italic;
    italic.italic = true;
    editor->Set("captionfont", std::make_shared<FontObject>(italic));
    EXPECT_EQ(VariantToText(editor->Get("paramkey")), "RMStime");
    EXPECT_EQ(editor->Parameter(), 25);
    EXPECT_EQ(VariantToDouble(editor->Get("editorwidth")), 800.0);
    EXPECT_TRUE(VariantToFont(editor->Get("captionfont")).italic);
    editor->Set("caption", std::string("Ke"));
    EXPECT_EQ(VariantToText(editor->Get("ShownCaption")), "Ke");
    editor->Set("parameter", Variant());
    EXPECT_EQ(editor->Parameter(), std::nullopt);
    EXPECT_THROW(editor->Set("Text", std::string("1")), Error);
    EXPECT_THROW(editor->Set("parameter", std::int64_t{1} << 40), Error);
}

}  // namespace
}  // namespace vor::editors
