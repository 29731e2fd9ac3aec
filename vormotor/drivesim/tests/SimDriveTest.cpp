#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/valuelib/ValueFactory.h"

namespace vor::sim {
namespace {

std::unique_ptr<SimDrive> Servo() {
    return SimDrive::Load(VOR_PROFILE_DIR "/servo.json");
}

std::unique_ptr<SimDrive> Stepper() {
    return SimDrive::Load(VOR_PROFILE_DIR "/stepper.json");
}

std::shared_ptr<FieldObject> Field(SimDrive& drive, std::int32_t param, const std::string& name) {
    return drive.Node()->Param(param)->Fields().Item(name);
}

TEST(SimDrive, LogsEveryWriteOfItsUserAndNothingElse) {
    auto drive = Stepper();
    auto node = drive->Node();
    Field(*drive, 170, "Motor Type")->SetValue(5);
    Field(*drive, 170, "Motor Type")->SetValue(5);  // unchanged, but still a write
    node->Param(204)->Content().SetNumber(3000);
    node->SetDriveEnabled(false);
    EXPECT_THROW(node->Param(204)->Content().SetNumber(1e9), Error);  // refused: not a write
    EXPECT_THROW(node->Param(33)->Content().SetNumber(5), Error);     // read-only
    drive->SetParam(204, 4000);                                       // the drive's own change
    drive->SetDriveEnabled(true);
    auto own = valuelib::ValueFactory::Create();
    own->Content().SetSetupFlag(true);
    own->Content().SetNumber(3);
    std::vector<std::string> json;
    for (const auto& write : drive->Writes()) {
        json.push_back(write.Json());
    }
    EXPECT_EQ(json, (std::vector<std::string>{R"({"param":170,"field":"Motor Type","value":5})",
                                              R"({"param":170,"field":"Motor Type","value":5})",
                                              R"({"param":204,"value":3000})", R"({"driveEnabled":false})"}));
    EXPECT_EQ(drive->Writes().at(2), model::DriveWrite::Param(204, 3000));
    node->Param(24)->Content().SetNumber(2.25);
    EXPECT_EQ(drive->Writes().back().Json(), R"({"param":24,"value":2.25})");
    drive->ClearWrites();
    EXPECT_TRUE(drive->Writes().empty());
    // A long run keeps the latest writes only.
    for (std::size_t i = 0; i <= model::ModelHost::kMaxWrites; ++i) {
        node->SetDriveEnabled(i % 2 == 0);
    }
    EXPECT_EQ(drive->Writes().size(), model::ModelHost::kMaxWrites / 2 + 1);
    EXPECT_EQ(drive->Writes().back(), model::DriveWrite::DriveEnabled(true));
}

TEST(SimDrive, DriveSideChangesRaiseTheirEvents) {
    auto drive = Servo();
    auto node = drive->Node();
    std::vector<std::string> seen;
    auto config = node->Param(170);
    auto commMode = config->Fields().Item("Commutation Mode");
    auto lock = node->AccessLock();
    auto app = drive->Network()->AppEvents();
    std::vector<Connection> connections;
    connections.push_back(
        config->ContentChanged().Connect([&](double n) { seen.push_back("170=" + std::to_string(int(n))); }));
    connections.push_back(
        commMode->UpdateView().Connect([&](FieldObject& f) { seen.push_back("view " + f.ValueText()); }));
    connections.push_back(lock->Changed().Connect([&] { seen.push_back("lock " + std::to_string(lock->Level())); }));
    connections.push_back(
        app->TechSupportChanged().Connect([&](bool on) { seen.push_back(on ? "tech on" : "tech off"); }));
    connections.push_back(
        app->MotorPageEnableChanged().Connect([&](bool on) { seen.push_back(on ? "page on" : "page off"); }));
    connections.push_back(app->TimerTick().Connect([&] { seen.push_back("tick"); }));

    drive->SetField(170, "Commutation Mode", 14);
    drive->SetField(170, "Commutation Mode", 14);
    drive->SetValueNameVisible(170, "Commutation Mode", 15, true);
    drive->SetValueNameVisible(170, "Commutation Mode", 15, true);
    drive->SetAccessLevel(2);
    drive->SetAccessLevel(2);
    drive->SetTechSupport(true);
    drive->SetTechSupport(true);
    drive->RaiseMotorPageEnableChanged(false);
    drive->RaiseTimerTick();
    EXPECT_EQ(seen, (std::vector<std::string>{"170=224", "view Damping On, Retry On", "view Damping On, Retry On",
                                              "lock 2", "tech on", "page off", "tick"}));
    EXPECT_TRUE(commMode->ValueNames().Item(15)->Visible());
    EXPECT_TRUE(app->TechSupport());
    EXPECT_THROW(drive->SetField(170, "Commutation Mode", 16), Error);
    EXPECT_THROW(drive->SetValueNameVisible(170, "Commutation Mode", 9, true), Error);
    EXPECT_THROW(drive->SetMicrostepVisible(123, true), Error);
}

TEST(FaultInjector, ClearingOneOperationKeepsTheOthers) {
    auto drive = Servo();
    auto node = drive->Node();
    drive->Faults().FailEveryCall("Node.IsOnline");
    drive->Faults().FailEveryCall("Node.NodeState");
    drive->Faults().Clear("Node.IsOnline");
    EXPECT_NO_THROW(node->IsOnline());
    EXPECT_THROW(node->NodeState(), Error);
}

TEST(SimDrive, InputWordFollowsTheDriveOnlyAfterStartUpdates) {
    auto drive = Servo();
    auto io = drive->Node()->IoObj();
    auto inputs = io->InputsValue();
    std::vector<std::string> seen;
    auto c1 = io->CommutationChanged().Connect([&](std::int32_t thisCode, std::int32_t lastCode) {
        seen.push_back(std::to_string(lastCode) + "->" + std::to_string(thisCode));
    });
    auto c2 = inputs->ContentChanged().Connect([&](double n) { seen.push_back("word " + std::to_string(int(n))); });
    drive->SetInputWord(0x200 + 1);  // code 4
    EXPECT_EQ(inputs->Content().Number(), 641);
    inputs->StartUpdates();
    drive->SetInputWord(0x200);  // other bits only
    drive->SetInputWord(0x7F);   // code 0
    drive->SetInputWord(1024);   // code 0 still
    EXPECT_EQ(seen, (std::vector<std::string>{"5->4", "word 513", "word 512", "word 127", "4->0", "word 1024"}));
    EXPECT_EQ(drive->InputWord(), 1024);
}

struct MotionCase {
    const char* profile;
    std::int32_t steps;
    std::vector<std::string> transitions;
    double angle;
    double startAngle = 0;
    bool refused = false;  // a turn past the angle's limits part way, which moves nothing
};

void PrintTo(const MotionCase& c, std::ostream* out) {
    *out << c.profile << " " << c.steps;
}

class Motion : public ::testing::TestWithParam<MotionCase> {};

TEST_P(Motion, StepsTheHallSequenceWithOneTransitionPerStep) {
    const auto& c = GetParam();
    auto drive = SimDrive::Load(std::string(VOR_PROFILE_DIR "/") + c.profile);
    auto io = drive->Node()->IoObj();
    std::vector<std::string> transitions;
    auto connection = io->CommutationChanged().Connect([&](std::int32_t thisCode, std::int32_t lastCode) {
        transitions.push_back(std::to_string(lastCode) + "->" + std::to_string(thisCode));
    });
    const std::int32_t angleParam = drive->Node()->HasParam(44) ? 44 : 33;
    drive->SetParam(angleParam, c.startAngle);
    if (c.refused) {
        EXPECT_THROW(drive->Motion().Turn(c.steps), Error);
    } else {
        drive->Motion().Turn(c.steps);
    }
    EXPECT_EQ(transitions, c.transitions);
    EXPECT_DOUBLE_EQ(drive->ParamNumber(angleParam), c.angle);
    EXPECT_EQ(drive->InputWord() & ~0x380, std::string(c.profile) == "servo.json" ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Profiles, Motion,
                         ::testing::Values(
                             // The servo starts at code 5, the last of 1 3 2 6 4 5.
                             MotionCase{"servo.json", 7, {"5->1", "1->3", "3->2", "2->6", "6->4", "4->5", "5->1"}, 420},
                             MotionCase{"servo.json", -3, {"5->4", "4->6", "6->2"}, -180},
                             // The stepper starts at code 0, outside its sequence 5 4 6 2 3 1.
                             MotionCase{"stepper.json", 3, {"0->5", "5->4", "4->6"}, 5.4},
                             MotionCase{"stepper.json", -2, {"0->1", "1->3"}, -3.6},
                             // 166 steps would fit below the limit, the 167th not.
                             MotionCase{"servo.json", 10000, {}, 999990001, 999990001, true},
                             MotionCase{"stepper.json", -10000, {}, -999999900, -999999900, true}));

TEST(SimDrive, AMotorTurningOnItsOwnMovesBeforeEachTick) {
    auto drive = Servo();
    auto io = drive->Node()->IoObj();
    std::vector<std::string> seen;
    auto c1 = io->CommutationChanged().Connect(
        [&](std::int32_t thisCode, std::int32_t) { seen.push_back("code " + std::to_string(thisCode)); });
    auto c2 = drive->Network()->AppEvents()->TimerTick().Connect([&] { seen.push_back("tick"); });
    drive->RaiseTimerTick();
    drive->Motion().SetSpeed(2);
    drive->RaiseTimerTick();
    drive->Motion().SetSpeed(-1);
    drive->RaiseTimerTick();
    EXPECT_EQ(seen, (std::vector<std::string>{"tick", "code 1", "code 3", "tick", "code 1", "tick"}));
}

// Each form of fault injection, and the calls of a fixed sequence that it makes fail.
struct FaultCase {
    const char* what;
    std::function<void(FaultInjector&)> arrange;
    std::vector<bool> fails;  // one per call of Calls()
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.what;
}

// A fixed sequence of calls that touches several parameters and fields.
std::vector<std::function<void(SimDrive&)>> Calls() {
    return {
        [](SimDrive& d) { d.Node()->Param(41); },
        [](SimDrive& d) { d.Node()->Param(40); },
        [](SimDrive& d) { d.Node()->Param(41); },
        [](SimDrive& d) { d.Node()->Param(41)->Content().Number(); },
        [](SimDrive& d) { Field(d, 170, "Motor Type")->Value(); },
        [](SimDrive& d) { Field(d, 170, "Encoder Mode")->Value(); },
        [](SimDrive& d) { Field(d, 170, "Motor Type")->Value(); },
    };
}

class FaultForm : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultForm, FailsExactlyTheCallsItNames) {
    auto drive = Servo();
    GetParam().arrange(drive->Faults());
    std::vector<bool> fails;
    for (const auto& call : Calls()) {
        try {
            call(*drive);
            fails.push_back(false);
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), FaultInjector::kErrorNumber);
            fails.push_back(true);
        }
    }
    EXPECT_EQ(fails, GetParam().fails);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FaultForm,
    ::testing::Values(FaultCase{"nothing", [](FaultInjector&) {}, {false, false, false, false, false, false, false}},
                      FaultCase{"every Param",
                                [](FaultInjector& f) { f.FailEveryCall("Node.Param"); },
                                {true, true, true, true, true, true, true}},
                      FaultCase{"second Param",
                                [](FaultInjector& f) { f.FailCall("Node.Param", 2); },
                                {false, true, false, false, false, false, false}},
                      FaultCase{"every Param of 41",
                                [](FaultInjector& f) { f.FailEveryCall("Node.Param", {41}); },
                                {true, false, true, true, false, false, false}},
                      FaultCase{"second Param of 41",
                                [](FaultInjector& f) { f.FailCall("Node.Param", 2, {41}); },
                                {false, false, true, false, false, false, false}},
                      FaultCase{"Number of 41",
                                [](FaultInjector& f) { f.FailEveryCall("Content.Number", {41}); },
                                {false, false, false, true, false, false, false}},
                      FaultCase{"every field Value",
                                [](FaultInjector& f) { f.FailEveryCall("Field.Value"); },
                                {false, false, false, false, true, true, true}},
                      FaultCase{"field Value by name",
                                [](FaultInjector& f) {
                                    f.FailEveryCall("Field.Value", {std::nullopt, "Motor Type"});
                                },
                                {false, false, false, false, true, false, true}},
                      FaultCase{"second field Value by name",
                                [](FaultInjector& f) {
                                    f.FailCall("Field.Value", 2, {170, "Motor Type"});
                                },
                                {false, false, false, false, false, false, true}},
                      FaultCase{"the Fields table",
                                [](FaultInjector& f) { f.FailCall("Fields.Item", 2); },
                                {false, false, false, false, false, true, false}},
                      FaultCase{"scope of another parameter",
                                [](FaultInjector& f) { f.FailEveryCall("Field.Value", {44}); },
                                {false, false, false, false, false, false, false}}));

TEST(FaultInjector, InjectedFailureNamesTheOperationAndHasNoEffect) {
    auto drive = Servo();
    drive->Faults().FailCall("Field.SetValue", 1, {170, "Motor Type"});
    auto motorType = Field(*drive, 170, "Motor Type");
    try {
        motorType->SetValue(3);
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.Description(), "Injected failure of Field.SetValue of parameter 170, field \"Motor Type\"");
    }
    EXPECT_EQ(drive->FieldValue(170, "Motor Type"), 0);
    EXPECT_TRUE(drive->Writes().empty());
    motorType->SetValue(3);
    EXPECT_EQ(drive->FieldValue(170, "Motor Type"), 3);
    EXPECT_THROW(drive->Faults().FailEveryCall("Node.Parm"), Error);
    EXPECT_THROW(drive->Faults().FailCall("Node.Param", 0), Error);
    drive->Faults().FailEveryCall("Node.IsOnline");
    drive->Faults().Clear();
    EXPECT_TRUE(drive->Node()->IsOnline());
}

// Every operation of the drive and value contract can be made to fail; those that hand out an
// object are below, with their nulls.
using Invoke = std::function<void(SimDrive&)>;

class EveryOperation : public ::testing::TestWithParam<std::pair<const char*, Invoke>> {};

TEST_P(EveryOperation, CanBeMadeToFail) {
    auto drive = Stepper();
    const auto previous = valuelib::ValueFactory::SetHost(drive->Host());
    drive->Faults().FailEveryCall(GetParam().first);
    EXPECT_THROW(GetParam().second(*drive), Error) << GetParam().first;
    valuelib::ValueFactory::SetHost(previous);
}

ContentObject& Content(SimDrive& d) {
    return d.Node()->Param(204)->Content();
}
std::shared_ptr<FieldObject> MotorType(SimDrive& d) {
    return Field(d, 170, "Motor Type");
}

INSTANTIATE_TEST_SUITE_P(
    Contract, EveryOperation,
    ::testing::Values(
        std::pair<const char*, Invoke>{"Network.CommModeSelectable",
                                       [](SimDrive& d) { d.Network()->CommModeSelectable(); }},
        std::pair<const char*, Invoke>{"AppEvents.TechSupport",
                                       [](SimDrive& d) { d.Network()->AppEvents()->TechSupport(); }},
        std::pair<const char*, Invoke>{"Lock.Level", [](SimDrive& d) { d.Node()->AccessLock()->Level(); }},
        std::pair<const char*, Invoke>{"TraceSink.TraceFlags",
                                       [](SimDrive& d) { d.Network()->TraceSink()->TraceFlags(); }},
        std::pair<const char*, Invoke>{"TraceSink.TraceWrite",
                                       [](SimDrive& d) { d.Network()->TraceSink()->TraceWrite("x"); }},
        std::pair<const char*, Invoke>{"Node.HasParam", [](SimDrive& d) { d.Node()->HasParam(1); }},
        std::pair<const char*, Invoke>{"Node.ParamTable", [](SimDrive& d) { d.Node()->ParamTable(); }},
        std::pair<const char*, Invoke>{"Node.MotorTypes", [](SimDrive& d) { d.Node()->MotorTypes(); }},
        std::pair<const char*, Invoke>{"Node.MicrostepChoices", [](SimDrive& d) { d.Node()->MicrostepChoices(); }},
        std::pair<const char*, Invoke>{"Node.DriveEnabled", [](SimDrive& d) { d.Node()->DriveEnabled(); }},
        std::pair<const char*, Invoke>{"Node.SetDriveEnabled", [](SimDrive& d) { d.Node()->SetDriveEnabled(true); }},
        std::pair<const char*, Invoke>{"Node.NodeState", [](SimDrive& d) { d.Node()->NodeState(); }},
        std::pair<const char*, Invoke>{"Node.ExpandText", [](SimDrive& d) { d.Node()->ExpandText("@*@"); }},
        std::pair<const char*, Invoke>{"Value.Fields", [](SimDrive& d) { d.Node()->Param(170)->Fields(); }},
        std::pair<const char*, Invoke>{"Value.AddField",
                                       [](SimDrive& d) { d.Node()->Param(204)->AddField("x", 0, 1, ""); }},
        std::pair<const char*, Invoke>{"Value.Refresh", [](SimDrive& d) { d.Node()->Param(204)->Refresh(); }},
        std::pair<const char*, Invoke>{"Value.StartUpdates",
                                       [](SimDrive& d) { d.Node()->IoObj()->InputsValue()->StartUpdates(); }},
        std::pair<const char*, Invoke>{"Value.Info", [](SimDrive& d) { d.Node()->Param(25)->Info(); }},
        std::pair<const char*, Invoke>{"Value.LockLevel", [](SimDrive& d) { d.Node()->Param(25)->LockLevel(); }},
        std::pair<const char*, Invoke>{"Value.SetSetupA",
                                       [](SimDrive&) { valuelib::ValueFactory::Create()->SetSetupA(1); }},
        std::pair<const char*, Invoke>{"Content.SetNumber", [](SimDrive& d) { Content(d).SetNumber(400); }},
        std::pair<const char*, Invoke>{"Content.Text", [](SimDrive& d) { Content(d).Text(); }},
        std::pair<const char*, Invoke>{"Content.SetLowerLimit", [](SimDrive& d) { Content(d).SetLowerLimit(0); }},
        std::pair<const char*, Invoke>{"Content.SetupFlag", [](SimDrive& d) { Content(d).SetupFlag(); }},
        std::pair<const char*, Invoke>{"Info.Text", [](SimDrive& d) { d.Node()->Param(25)->Info().Text(); }},
        std::pair<const char*, Invoke>{"LockLevel.Level",
                                       [](SimDrive& d) { d.Node()->Param(204)->LockLevel().Level(); }},
        std::pair<const char*, Invoke>{"Field.SetValue", [](SimDrive& d) { MotorType(d)->SetValue(5); }},
        std::pair<const char*, Invoke>{"Field.ValueText", [](SimDrive& d) { MotorType(d)->ValueText(); }},
        std::pair<const char*, Invoke>{"Field.Editable", [](SimDrive& d) { MotorType(d)->Editable(); }},
        std::pair<const char*, Invoke>{"Field.Refresh", [](SimDrive& d) { MotorType(d)->Refresh(); }},
        std::pair<const char*, Invoke>{"Field.ValueNames", [](SimDrive& d) { MotorType(d)->ValueNames(); }},
        std::pair<const char*, Invoke>{"Field.AddValueName", [](SimDrive& d) { MotorType(d)->AddValueName(12, "x"); }},
        std::pair<const char*, Invoke>{"Entry.Visible", [](SimDrive& d) { d.Node()->MotorTypes()[0]->Visible(); }},
        std::pair<const char*, Invoke>{"Entry.Code", [](SimDrive& d) { d.Node()->MicrostepChoices()[0]->Code(); }},
        std::pair<const char*, Invoke>{"Entry.Name", [](SimDrive& d) { MotorType(d)->ValueNames().Item(4)->Name(); }},
        std::pair<const char*, Invoke>{"ParamTable.Count", [](SimDrive& d) { d.Node()->ParamTable().Count(); }},
        std::pair<const char*, Invoke>{"ValueNames.Item", [](SimDrive& d) { MotorType(d)->ValueNames().Item(4); }},
        std::pair<const char*, Invoke>{"ValueNames.RemoveAll",
                                       [](SimDrive& d) { MotorType(d)->ValueNames().RemoveAll(); }},
        std::pair<const char*, Invoke>{"Fields.Count", [](SimDrive& d) { d.Node()->Param(170)->Fields().Count(); }},
        std::pair<const char*, Invoke>{"Field.Value", [](SimDrive&) {
                                           auto own = valuelib::ValueFactory::Create();
                                           own->AddField("", 0, 1, "");
                                           own->Fields().Item("")->Value();
                                       }}));

}  // namespace
}  // namespace vor::sim

namespace vor::sim {
namespace {

// Every operation that hands out an object can be made to hand out a null one instead, or to fail.
using Fetch = std::function<std::shared_ptr<void>(SimDrive&)>;

const std::vector<std::pair<std::string, Fetch>>& ObjectFetches() {
    static const std::vector<std::pair<std::string, Fetch>> fetches{
        {"Network.AppEvents", [](SimDrive& d) { return std::shared_ptr<void>(d.Network()->AppEvents()); }},
        {"Network.DriveEvents", [](SimDrive& d) { return std::shared_ptr<void>(d.Network()->DriveEvents()); }},
        {"Network.AccessLock", [](SimDrive& d) { return std::shared_ptr<void>(d.Network()->AccessLock()); }},
        {"Network.TraceSink", [](SimDrive& d) { return std::shared_ptr<void>(d.Network()->TraceSink()); }},
        {"Node.Param", [](SimDrive& d) { return std::shared_ptr<void>(d.Node()->Param(204)); }},
        {"Node.StatusReg", [](SimDrive& d) { return std::shared_ptr<void>(d.Node()->StatusReg()); }},
        {"Node.AccessLock", [](SimDrive& d) { return std::shared_ptr<void>(d.Node()->AccessLock()); }},
        {"Node.IoObj", [](SimDrive& d) { return std::shared_ptr<void>(d.Node()->IoObj()); }},
        {"Io.InputsValue", [](SimDrive& d) { return std::shared_ptr<void>(d.Node()->IoObj()->InputsValue()); }},
        {"ParamTable.Item", [](SimDrive& d) { return std::shared_ptr<void>(d.Node()->ParamTable().Item(204)); }},
        {"Fields.Item",
         [](SimDrive& d) { return std::shared_ptr<void>(d.Node()->Param(170)->Fields().Item("Motor Type")); }},
        {"ValueNames.Item",
         [](SimDrive& d) {
             return std::shared_ptr<void>(d.Node()->Param(170)->Fields().Item("Motor Type")->ValueNames().Item(4));
         }},
    };
    return fetches;
}

TEST(NullObjects, EveryOperationThatHandsOutAnObjectCanHandOutNull) {
    std::vector<std::string> nullable;
    for (const auto& operation : FaultInjector::Operations()) {
        if (FaultInjector::ReturnsObject(operation)) {
            nullable.push_back(operation);
        }
    }
    std::vector<std::string> covered;
    for (const auto& [operation, fetch] : ObjectFetches()) {
        covered.push_back(operation);
        auto drive = SimDrive::Load(std::string(VOR_PROFILE_DIR) + "/stepper.json");
        drive->Faults().NullCall(operation, 2);
        EXPECT_NE(fetch(*drive), nullptr) << operation << ": the first call is not the one counted";
        EXPECT_EQ(fetch(*drive), nullptr) << operation;
        EXPECT_NE(fetch(*drive), nullptr) << operation << ": once only";
        drive->Faults().NullEveryCall(operation);
        EXPECT_EQ(fetch(*drive), nullptr) << operation;
        EXPECT_EQ(fetch(*drive), nullptr) << operation;
        EXPECT_TRUE(drive->Writes().empty());
        drive->Faults().Clear(operation);
        EXPECT_NE(fetch(*drive), nullptr) << operation;
        drive->Faults().FailEveryCall(operation);
        EXPECT_THROW(fetch(*drive), Error) << operation;
    }
    std::sort(nullable.begin(), nullable.end());
    std::sort(covered.begin(), covered.end());
    EXPECT_EQ(covered, nullable);
}

TEST(NullObjects, OnlyObjectOperationsAndScopedCallsAreNulled) {
    auto drive = SimDrive::Load(std::string(VOR_PROFILE_DIR) + "/servo.json");
    EXPECT_THROW(drive->Faults().NullEveryCall("Node.IsOnline"), Error);
    EXPECT_THROW(drive->Faults().NullEveryCall("Value.Content"), Error);
    EXPECT_THROW(drive->Faults().NullCall("Node.Param", 0), Error);
    drive->Faults().NullEveryCall("Node.Param", {41});
    EXPECT_EQ(drive->Node()->Param(41), nullptr);
    EXPECT_NE(drive->Node()->Param(40), nullptr);
    // A failing rule and a null rule on one operation: the first that takes the call decides.
    drive->Faults().FailCall("Node.Param", 1, {40});
    EXPECT_THROW(drive->Node()->Param(40), Error);
    EXPECT_EQ(drive->Node()->Param(41), nullptr);
}

}  // namespace
}  // namespace vor::sim
