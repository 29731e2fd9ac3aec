#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "vormotor/contracts/Sorvane.h"
#include "vormotor/panel/tests/PanelFixture.h"

namespace vor {
namespace {

class Binding : public PanelTest {};

TEST_F(Binding, BindsEveryEditorWhoseParameterTheNodeHas) {
    for (const char* profile : {"servo", "stepper"}) {
        UseDrive(profile);
        panel = MotorForm::Create();
        Attach();
        std::size_t bound = 0;
        for (Control* control : panel->GetForm().Controls()) {
            if (auto* editor = dynamic_cast<Tarvine*>(control)) {
                const std::int32_t parameter = editor->Parameter().value();
                const auto expected = drive->Node()->HasParam(parameter) ? drive->Node()->Param(parameter) : nullptr;
                EXPECT_EQ(editor->ValueObjRef(), expected) << profile << " ParamItem(" << *control->Index() << ")";
                bound += expected != nullptr;
            }
        }
        EXPECT_GT(bound, 10u) << profile;
        EXPECT_NE(dynamic_cast<Sorvane&>(Find("ConfigRadioGrp", 3)).FieldObjRef(), nullptr) << profile;
        EXPECT_NE(dynamic_cast<Sorvane&>(Find("SensorlessRadioGrp")).FieldObjRef(), nullptr) << profile;
        const auto state = MotorFormProbe::StateOf(*panel);
        EXPECT_FALSE(state.updating) << profile;
        EXPECT_TRUE(state.commModeListDue) << profile;
        EXPECT_EQ(state.microstepListDue, drive->Node()->HasParam(204)) << profile;
    }
}

TEST_F(Binding, DerivesTheSensorChoiceFromTheCommutationMode) {
    for (const auto& [mode, sensorless] : std::map<std::int32_t, std::int32_t>{{4, 0}, {5, 1}, {15, 1}, {0, 0}}) {
        auto profile = LoadProfile("servo");
        UseDrive(profile);
        drive->SetField(170, "Commutation Mode", mode);
        panel = MotorForm::Create();
        Attach();
        const auto field = dynamic_cast<Sorvane&>(Find("SensorlessRadioGrp")).FieldObjRef();
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->Value(), sensorless) << mode;
        EXPECT_TRUE(drive->Writes().empty()) << "the panel's own value never reaches the drive";
    }
}

TEST_F(Binding, NodeWithoutMotorConfigurationStillBindsEditorsAndList) {
    auto profile = LoadProfile("servo");
    RemoveParameters(profile, {170});
    UseDrive(profile);
    Attach();
    EXPECT_EQ(dynamic_cast<Sorvane&>(Find("SensorlessRadioGrp")).FieldObjRef(), nullptr);
    EXPECT_EQ(ItemTexts("MotorStyleCombo"), std::vector<std::string>{"N/A"});
    EXPECT_NE(Editor(9).ValueObjRef(), nullptr);
    EXPECT_EQ(Caption("trqLoopTuneFrame"), "Vector Torque Loop Tuning");
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).updating);
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).commModeListDue);
}

TEST_F(Binding, EmptyParameterTableBindsNothingButTheEventSources) {
    auto profile = LoadProfile("servo");
    profile.parameters.clear();
    profile.angleParam.reset();
    UseDrive(profile);
    Attach();
    EXPECT_EQ(Caption("transLbl"), "?->?");
    EXPECT_EQ(Combo("MotorStyleCombo").ListCount(), 0);
    EXPECT_EQ(Editor(9).ValueObjRef(), nullptr);
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).commModeListDue);
}

struct StopCase {
    const char* operation;
    sim::FaultScope scope;
    std::int32_t nth = 1;
    bool null = false;  // the call hands out null instead of failing
};

void Inject(sim::FaultInjector& faults, const StopCase& c) {
    c.null ? faults.NullCall(c.operation, c.nth, c.scope) : faults.FailCall(c.operation, c.nth, c.scope);
}

class BindingStopsAtAnEarlyFailure : public Binding, public ::testing::WithParamInterface<StopCase> {};

TEST_P(BindingStopsAtAnEarlyFailure, WithTheGuardClearedAndNothingAfterItDone) {
    UseDrive("stepper");
    Inject(drive->Faults(), GetParam());
    Attach();
    const auto state = MotorFormProbe::StateOf(*panel);
    EXPECT_FALSE(state.updating);
    EXPECT_FALSE(state.commModeListDue);
    EXPECT_FALSE(state.microstepListDue);
    EXPECT_EQ(Editor(12).ValueObjRef(), nullptr);
    EXPECT_EQ(Combo("MotorStyleCombo").ListCount(), 0);
    EXPECT_EQ(Caption("trqLoopTuneFrame"), "Vector @*@ Loop Tuning");
    EXPECT_TRUE(panel->Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, BindingStopsAtAnEarlyFailure,
    ::testing::Values(StopCase{"Network.AppEvents", {}}, StopCase{"Network.DriveEvents", {}},
                      StopCase{"Node.ParamTable", {}}, StopCase{"ParamTable.Count", {}}, StopCase{"Node.Param", {41}},
                      StopCase{"Node.AccessLock", {}}, StopCase{"Node.Param", {40}}, StopCase{"Node.StatusReg", {}},
                      StopCase{"Node.Param", {25}}, StopCase{"Node.Param", {24}}, StopCase{"Node.HasParam", {170}},
                      StopCase{"Node.Param", {170}}, StopCase{"Fields.Item", {170}, 3}, StopCase{"Value.SetSetupC", {}},
                      StopCase{"Content.SetSetupFlag", {}}, StopCase{"Value.AddField", {}},
                      StopCase{"ValueNames.RemoveAll", {std::nullopt, "Init Options"}},
                      StopCase{"Field.AddValueName", {std::nullopt, ""}},
                      StopCase{"Field.SetValue", {std::nullopt, ""}},
                      StopCase{"Field.Value", {170, "Commutation Mode"}}, StopCase{"Node.HasParam", {204}},
                      StopCase{"Node.Param", {18}}, StopCase{"Node.HasParam", {44}}, StopCase{"Node.Param", {33}},
                      StopCase{"Node.IoObj", {}}, StopCase{"Io.InputsValue", {}}, StopCase{"Value.StartUpdates", {}},
                      // A null handed out is kept; the first call through it fails.
                      StopCase{"Node.Param", {170}, 1, true}, StopCase{"Fields.Item", {170}, 2, true},
                      StopCase{"Node.IoObj", {}, 1, true}, StopCase{"Io.InputsValue", {}, 1, true}));

class BindingKeepsANullItIsHandedOut : public Binding, public ::testing::WithParamInterface<StopCase> {};

TEST_P(BindingKeepsANullItIsHandedOut, AndGoesOnToTheViewsAndTheEnablePolicy) {
    UseDrive("stepper");
    Inject(drive->Faults(), GetParam());
    Attach();
    const auto state = MotorFormProbe::StateOf(*panel);
    EXPECT_FALSE(state.updating);
    EXPECT_TRUE(state.commModeListDue);
    EXPECT_TRUE(state.microstepListDue);
    EXPECT_GT(Combo("MotorStyleCombo").ListCount(), 0);
    EXPECT_NE(Editor(12).ValueObjRef(), nullptr);
    EXPECT_EQ(Find("ParamItem", 17).Enabled(), Editor(17).ValueObjRef() != nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    EachFetch, BindingKeepsANullItIsHandedOut,
    ::testing::Values(StopCase{"Network.AppEvents", {}, 1, true}, StopCase{"Network.DriveEvents", {}, 1, true},
                      StopCase{"Node.Param", {41}, 1, true}, StopCase{"Node.AccessLock", {}, 1, true},
                      StopCase{"Node.Param", {40}, 1, true}, StopCase{"Node.StatusReg", {}, 1, true},
                      StopCase{"Node.Param", {25}, 1, true}, StopCase{"Node.Param", {24}, 1, true},
                      StopCase{"Fields.Item", {170}, 1, true}, StopCase{"Fields.Item", {170}, 3, true},
                      StopCase{"Node.Param", {204}, 1, true}, StopCase{"Node.Param", {18}, 1, true},
                      StopCase{"Node.Param", {33}, 1, true},
                      // The editor's own fetch: that editor alone is left unbound.
                      StopCase{"Node.Param", {24}, 2, true}));

TEST_F(Binding, LaterFailuresSkipOnlyTheirStatement) {
    UseDrive("servo");
    drive->Faults().FailCall("Node.Param", 1, {20});
    drive->Faults().FailEveryCall("Node.MotorTypes");
    Attach();
    EXPECT_EQ(Editor(9).ValueObjRef(), nullptr);
    EXPECT_NE(Editor(10).ValueObjRef(), nullptr);
    // The torque-loop caption needs the poles editor bound; the frames come next and are done.
    EXPECT_EQ(Caption("trqLoopTuneFrame"), "Vector @*@ Loop Tuning");
    EXPECT_TRUE(Find("CommSensorFrame").Visible());
    EXPECT_EQ(ItemTexts("MotorStyleCombo"), std::vector<std::string>{"N/A 0"});
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).updating);
}

TEST_F(Binding, AnEditorWhoseFetchFailsKeepsItsEarlierValue) {
    UseDrive("servo");
    Attach();
    const auto poles = Editor(9).ValueObjRef();
    drive->Faults().FailEveryCall("Node.Param", {20});
    Attach();
    EXPECT_EQ(Editor(9).ValueObjRef(), poles);
}

TEST_F(Binding, ReattachToAnotherNodeReplacesWhatItBinds) {
    UseDrive("servo");
    Attach();
    const auto servoSensorless = dynamic_cast<Sorvane&>(Find("SensorlessRadioGrp")).FieldObjRef();
    auto stepperProfile = LoadProfile("stepper");
    RemoveParameters(stepperProfile, {170});
    sim::SimDrive stepper(stepperProfile);
    panel->AttachControl(stepper.Network(), stepper.Node(), nullptr, "", "");
    EXPECT_EQ(Editor(2).ValueObjRef(), stepper.Node()->Param(201));
    EXPECT_EQ(Editor(12).ValueObjRef(), stepper.Node()->Param(41));
    // Without parameter 170 on the new node, the derived value of the earlier node stays bound.
    EXPECT_EQ(dynamic_cast<Sorvane&>(Find("SensorlessRadioGrp")).FieldObjRef(), servoSensorless);
    std::vector<std::string> stepperTypes;
    for (const auto& entry : stepper.Node()->MotorTypes()) {
        if (entry->Visible()) {
            stepperTypes.push_back(entry->Name());
        }
    }
    // ... and so does its motor-type field: its code 0 is not in the stepper's catalogue.
    stepperTypes.push_back("N/A 0");
    EXPECT_EQ(ItemTexts("MotorStyleCombo"), stepperTypes);
}

}  // namespace
}  // namespace vor
