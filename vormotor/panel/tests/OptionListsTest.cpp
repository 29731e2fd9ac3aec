#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "vormotor/contracts/Sorvane.h"
#include "vormotor/core/Conversions.h"
#include "vormotor/editors/SorvaneGroup.h"
#include "vormotor/panel/tests/PanelFixture.h"

namespace vor {
namespace {

const std::vector<std::int32_t> kAllModes{0, 1, 2, 3, 4, 14, 15, 6, 7};

class CommModeList : public PanelTest {
protected:
    // The drive offers exactly these commutation modes.
    void Offer(const std::vector<std::int32_t>& offered) {
        for (std::int32_t code : kAllModes) {
            drive->SetValueNameVisible(170, "Commutation Mode", code,
                                       std::find(offered.begin(), offered.end(), code) != offered.end());
        }
    }
    void PickSensorChoice(std::int32_t value) {
        auto& group = dynamic_cast<editors::SorvaneGroup&>(Find("SensorlessRadioGrp"));
        ASSERT_TRUE(group.UserPick(value)) << group.Message();
    }
    std::vector<std::int32_t> ItemData(const std::string& name) {
        std::vector<std::int32_t> data;
        for (const auto& item : Combo(name).Items()) {
            data.push_back(item.data);
        }
        return data;
    }
};

struct RebuildCase {
    std::int32_t driveCode;
    std::vector<std::int32_t> offered;
    std::vector<std::int32_t> listed;
    std::string selected;
    std::int32_t sensorless;
};

class Rebuilds : public CommModeList, public ::testing::WithParamInterface<RebuildCase> {};

TEST_P(Rebuilds, ListTheOptionsOfTheDrivesSensorChoice) {
    UseDrive("servo");
    Attach();
    Offer(GetParam().offered);
    drive->SetField(170, "Commutation Mode", GetParam().driveCode);
    drive->RaiseTimerTick();
    EXPECT_EQ(ItemData("CommModeCombo"), GetParam().listed);
    EXPECT_EQ(Combo("CommModeCombo").Text(), GetParam().selected);
    EXPECT_EQ(Caption("CommOptionLbl"), " " + GetParam().selected);
    EXPECT_EQ(dynamic_cast<Sorvane&>(Find("SensorlessRadioGrp")).FieldObjRef()->Value(), GetParam().sensorless);
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).commModeListDue);
    EXPECT_TRUE(drive->Writes().empty()) << "the panel's own list changes never write";
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Rebuilds,
    ::testing::Values(RebuildCase{3, kAllModes, {0, 1, 2, 3, 4}, "State Chk On, Seq Chk Off, Thermal Chk Off", 0},
                      RebuildCase{1, {0, 1, 2, 3, 14}, {0, 1, 2, 3}, "State Chk On, Seq Chk On, Thermal Chk Off", 0},
                      // The offered options are taken over when the derived value changes; the servo already
                      // holds code 2, so the options seen at attach stay.
                      RebuildCase{2, {0, 1}, {0, 1, 2, 3, 4}, "State Chk On, Seq Chk Off, Thermal Chk On", 0},
                      RebuildCase{14, {14, 6}, {14, 6}, "Damping On, Retry On", 1},
                      RebuildCase{7, {0, 1, 14, 6, 7}, {14, 6, 7}, "Damping Off, Retry Off", 1},
                      // Code 5 has no option: the drive's own text for it is added and selected.
                      RebuildCase{5, {14, 15}, {14, 15, 5}, "5", 1},
                      // A hidden option the drive holds is still shown, as the last item.
                      RebuildCase{15, {14, 6}, {14, 6, 15}, "Damping Off, Retry On", 1},
                      RebuildCase{1, {}, {1}, "State Chk On, Seq Chk On, Thermal Chk Off", 0}));

struct BindingOfferCase {
    std::int32_t driveCode;
    std::vector<std::int32_t> offered;
    std::vector<std::int32_t> listed;
};

class BindingOffer : public CommModeList, public ::testing::WithParamInterface<BindingOfferCase> {};

// Code 0 leaves the new derived value as it starts, so no change event tells the offer.
TEST_P(BindingOffer, IsDecidedAlreadyDuringTheBindingWhateverTheCode) {
    UseDrive("servo");
    Offer(GetParam().offered);
    drive->SetField(170, "Commutation Mode", GetParam().driveCode);
    Attach();
    drive->RaiseTimerTick();  // the code did not change since the binding derived it
    EXPECT_EQ(ItemData("CommModeCombo"), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(Codes, BindingOffer,
                         ::testing::Values(BindingOfferCase{14, {14, 6}, {14, 6}},
                                           BindingOfferCase{0, {0, 1, 14, 15}, {0, 1}},
                                           BindingOfferCase{0, {0, 2, 3, 4, 14, 6}, {0, 2, 3, 4}},
                                           BindingOfferCase{2, {1, 2, 15}, {1, 2}}));

TEST_F(CommModeList, WithoutMotorConfigurationShowsNotAvailable) {
    auto profile = LoadProfile("servo");
    RemoveParameters(profile, {170});
    UseDrive(profile);
    Attach();
    drive->RaiseTimerTick();
    EXPECT_EQ(ItemTexts("CommModeCombo"), std::vector<std::string>{"N/A"});
    EXPECT_EQ(Combo("CommModeCombo").ListIndex(), 0);
    EXPECT_EQ(Caption("CommOptionLbl"), " N/A");
}

TEST_F(CommModeList, APickWritesItsCodeAndTheNextTickFollows) {
    UseDrive("servo");
    Attach();
    drive->RaiseTimerTick();
    EXPECT_FALSE(Find("CommModeCombo").Enabled()) << "a rebuild does not run the enable policy";
    panel->SetEnabled(true);
    Combo("CommModeCombo").UserPick(3);
    EXPECT_EQ(drive->Writes(), (std::vector<model::DriveWrite>{model::DriveWrite::Field(170, "Commutation Mode", 3)}));
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).commModeListDue);
    drive->RaiseTimerTick();
    EXPECT_EQ(Combo("CommModeCombo").Text(), "State Chk On, Seq Chk Off, Thermal Chk Off");
    EXPECT_EQ(drive->Writes().size(), 1u);
}

TEST_F(CommModeList, ClicksBeforeAttachWriteNothing) {
    UseDrive("servo");
    Combo("CommModeCombo").AddItem("Damping On, Retry On");
    Combo("CommModeCombo").SetItemData(0, 14);
    Combo("CommModeCombo").SetListIndex(0);  // raises the list's click, as a pick would
    Combo("MicrostepCombo").AddItem("2000");
    Combo("MicrostepCombo").SetListIndex(0);
    EXPECT_TRUE(drive->Writes().empty());
}

TEST_F(CommModeList, AFailingRebuildKeepsTheListAsFarAsItGot) {
    UseDrive("servo");
    Attach();
    drive->RaiseTimerTick();
    const std::string label = Caption("CommOptionLbl");
    drive->Faults().FailEveryCall("Field.ValueText");
    drive->SetField(170, "Commutation Mode", 5);  // needs the drive's text for code 5
    drive->RaiseTimerTick();
    EXPECT_EQ(Combo("CommModeCombo").ListIndex(), -1);
    EXPECT_GT(Combo("CommModeCombo").ListCount(), 0);
    EXPECT_EQ(Caption("CommOptionLbl"), label);
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).updating);
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).commModeListDue);
}

struct SensorPickCase {
    const char* name;
    std::int32_t picked;
    bool code2Offered;
    std::int32_t written;
};

class SensorPicks : public CommModeList, public ::testing::WithParamInterface<SensorPickCase> {};

TEST_P(SensorPicks, WriteTheDefaultCodeOfTheChoice) {
    UseDrive("servo");
    Attach();
    drive->SetValueNameVisible(170, "Commutation Mode", 2, GetParam().code2Offered);
    drive->SetField(170, "Commutation Mode", GetParam().picked == 0 ? 14 : 3);
    drive->RaiseTimerTick();
    drive->ClearWrites();
    PickSensorChoice(GetParam().picked);
    EXPECT_EQ(drive->Writes(),
              (std::vector<model::DriveWrite>{model::DriveWrite::Field(170, "Commutation Mode", GetParam().written)}));
}

INSTANTIATE_TEST_SUITE_P(Choices, SensorPicks,
                         ::testing::Values(SensorPickCase{"SensorsCode2Offered", 0, true, 0},
                                           SensorPickCase{"SensorlessCode2Hidden", 1, false, 14}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommModeList, SensorPickAfterReleaseDoesNothing) {
    UseDrive("servo");
    Attach();
    panel->ReleaseControl();
    failures.clear();
    PickSensorChoice(1);  // the group is still bound to the panel's own value
    EXPECT_TRUE(drive->Writes().empty());
    EXPECT_TRUE(failures.empty()) << failures.front();
}

class Microsteps : public PanelTest {
protected:
    void StartStepper(double present, const std::vector<std::pair<std::int32_t, std::string>>& choices,
                      std::int32_t encoderMode = 0) {
        auto profile = LoadProfile("stepper");
        for (auto& parameter : profile.parameters) {
            if (parameter.number == 204) {
                parameter.whole = false;
                parameter.value = present;
            }
        }
        UseDrive(profile);
        drive->SetMicrostepChoices(choices);
        drive->SetField(170, "Encoder Mode", encoderMode);
        Attach();
        drive->RaiseTimerTick();
    }
};

const std::vector<std::pair<std::int32_t, std::string>> kChoices{{1000, "1000"}, {2000, "2000"}, {4000, "4000"}};

struct MicrostepCase {
    const char* name;
    double present;
    std::vector<std::pair<std::int32_t, std::string>> choices;
    std::int32_t encoderMode;
    std::vector<std::string> items;
    std::int32_t selected;
    std::int32_t selectedData;
    bool enabled;
};

class MicrostepLists : public Microsteps, public ::testing::WithParamInterface<MicrostepCase> {};

TEST_P(MicrostepLists, OfferTheDrivesChoicesAndKeepAnUnsupportedValue) {
    const auto& c = GetParam();
    StartStepper(c.present, c.choices, c.encoderMode);
    EXPECT_EQ(ItemTexts("MicrostepCombo"), c.items);
    EXPECT_EQ(Combo("MicrostepCombo").ListIndex(), c.selected);
    EXPECT_EQ(Combo("MicrostepCombo").ItemData(c.selected), c.selectedData);
    EXPECT_EQ(Find("MicrostepCombo").Enabled(), c.enabled);
    EXPECT_TRUE(drive->Writes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MicrostepLists,
    ::testing::Values(
        MicrostepCase{"Match", 2000, kChoices, 0, {"1000", "2000", "4000"}, 1, 2000, true},
        MicrostepCase{"NoMatch", 3000, kChoices, 0, {"1000", "2000", "4000", "Unsupported 3000"}, 3, 3000, true},
        MicrostepCase{"Fraction", 2500.5, kChoices, 0, {"1000", "2000", "4000", "Unsupported 2500.5"}, 3, 2500, true},
        MicrostepCase{
            "LaterMatchWins", 2000, {{2000, "first"}, {2000, "second"}}, 0, {"first", "second"}, 1, 2000, true},
        MicrostepCase{"EncoderModeOneEntry", 3000, {{4000, "4000"}}, 1, {"4000"}, 0, 4000, false},
        MicrostepCase{"EncoderModeTwoEntries",
                      3000,
                      {{1000, "1000"}, {4000, "4000"}},
                      1,
                      {"1000", "4000", "Unsupported 3000"},
                      2,
                      3000,
                      true},
        MicrostepCase{"NoEntries", 3000, {}, 1, {"Unsupported 3000"}, 0, 3000, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The separator is the user's. The suite runs this test once more under each test locale with
// VOR_EXPECTED_DECIMAL_SEPARATOR set, so a locale that failed to load cannot pass for one that did.
TEST_F(Microsteps, AFractionShowsTheUsersDecimalSeparator) {
    const char* expected = std::getenv("VOR_EXPECTED_DECIMAL_SEPARATOR");
    const std::string separator = expected != nullptr ? expected : ".";
    ASSERT_EQ(UserDecimalSeparator(), separator) << "the environment's locale was not loaded";
    StartStepper(2500.5, kChoices);
    EXPECT_EQ(ItemTexts("MicrostepCombo").back(), "Unsupported 2500" + separator + "5");
}

TEST_F(Microsteps, ANodeWithoutParameter204ShowsNotAvailable) {
    UseDrive("servo");
    Attach();
    drive->SetField(170, "Encoder Mode", 1);  // its view update requests the list
    drive->RaiseTimerTick();
    EXPECT_EQ(ItemTexts("MicrostepCombo"), std::vector<std::string>{"N/A"});
    EXPECT_FALSE(Find("MicrostepCombo").Enabled());
}

TEST_F(Microsteps, APickWritesTheItemsNumber) {
    StartStepper(3000, kChoices);
    Combo("MicrostepCombo").UserPick(2);
    Combo("MicrostepCombo").UserPick(3);  // the unsupported value, written back as it is
    EXPECT_EQ(drive->Writes(), (std::vector<model::DriveWrite>{model::DriveWrite::Param(204, 4000),
                                                               model::DriveWrite::Param(204, 3000)}));
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).microstepListDue);
    drive->RaiseTimerTick();
    EXPECT_EQ(Combo("MicrostepCombo").Text(), "Unsupported 3000");
}

class UnsupportedFraction : public Microsteps, public ::testing::WithParamInterface<std::pair<double, double>> {};

TEST_P(UnsupportedFraction, IsWrittenRoundedHalfToEven) {
    StartStepper(GetParam().first, kChoices);
    Combo("MicrostepCombo").UserPick(Combo("MicrostepCombo").ListCount() - 1);
    EXPECT_EQ(drive->Writes(), std::vector<model::DriveWrite>{model::DriveWrite::Param(204, GetParam().second)});
}

INSTANTIATE_TEST_SUITE_P(Values, UnsupportedFraction,
                         ::testing::Values(std::pair<double, double>{2500.5, 2500},
                                           std::pair<double, double>{2501.5, 2502},
                                           std::pair<double, double>{2501.4, 2501}));

TEST_F(Microsteps, ChangesRequestARebuild) {
    StartStepper(2000, kChoices);
    ASSERT_FALSE(MotorFormProbe::StateOf(*panel).microstepListDue);
    drive->SetParam(18, 8000);
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).microstepListDue);
    drive->RaiseTimerTick();
    drive->SetParam(204, 4000);
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).microstepListDue);
    drive->RaiseTimerTick();
    EXPECT_EQ(Combo("MicrostepCombo").Text(), "4000");
}

TEST_F(Microsteps, AFailingRebuildStillRunsThePolicy) {
    StartStepper(2000, kChoices);
    drive->Faults().FailEveryCall("Node.MicrostepChoices");
    drive->SetParam(204, 4000);
    drive->RaiseTimerTick();
    EXPECT_EQ(Combo("MicrostepCombo").ListCount(), 0);
    EXPECT_FALSE(Find("MicrostepCombo").Enabled());
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).updating);
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).microstepListDue);
}

struct ClickCase {
    const char* name;
    const char* list;
    const char* profile;
    const char* failingWrite;
    sim::FaultScope scope;
};

class ClicksThatWriteNothing : public PanelTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ClicksThatWriteNothing, NothingSelectedOrAFailingWrite) {
    const ClickCase& c = GetParam();
    UseDrive(c.profile);
    Attach();
    drive->RaiseTimerTick();
    auto& combo = Combo(c.list);
    ASSERT_GE(combo.ListIndex(), 0);
    combo.SetListIndex(-1);  // the user's click on an empty selection
    EXPECT_TRUE(drive->Writes().empty());
    drive->Faults().FailEveryCall(c.failingWrite, c.scope);
    panel->SetEnabled(true);
    combo.UserPick(0);
    EXPECT_TRUE(drive->Writes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ClicksThatWriteNothing,
    ::testing::Values(
        ClickCase{"CommutationMode", "CommModeCombo", "servo", "Field.SetValue", {170, "Commutation Mode"}},
        ClickCase{"Microstep", "MicrostepCombo", "stepper", "Content.SetNumber", {204}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vor
