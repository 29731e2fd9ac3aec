#include "vormotor/script/DriveScript.h"

#include <stdexcept>
#include <utility>

namespace vor::script {

DriveScript::DriveScript(model::DriveModel& drive, sim::SimDrive* simulator, ScriptAnswers& answers)
    : m_drive(drive), m_simulator(simulator), m_answers(answers) {}

bool DriveScript::IsDriveSide(const Word& verb) {
    return !verb.quoted && (verb.text.starts_with("drive.") || verb.text == "writes");
}

const ScriptCommands<DriveScript>& DriveScript::Commands() {
    static const ScriptCommands<DriveScript> commands{
        {"drive.param", {2, 2, &DriveScript::DriveParam}},
        {"drive.field", {3, 3, &DriveScript::DriveField}},
        {"drive.entry", {4, 4, &DriveScript::DriveEntry}},
        {"drive.lock", {1, 1, &DriveScript::DriveLock}},
        {"drive.online", {1, 1, &DriveScript::DriveOnline}},
        {"drive.enabled", {1, 1, &DriveScript::DriveEnabled}},
        {"drive.state", {1, 1, &DriveScript::DriveState}},
        {"drive.input", {1, 1, &DriveScript::DriveInput}},
        {"drive.commutation", {2, 2, &DriveScript::DriveCommutation}},
        {"drive.comm-selectable", {1, 1, &DriveScript::DriveCommSelectable}},
        {"drive.trace-flags", {1, 1, &DriveScript::DriveTraceFlags}},
        {"drive.turn", {1, 1, &DriveScript::DriveTurn}},
        {"drive.catalogue", {2, 2, &DriveScript::DriveCatalogue}},
        {"drive.microsteps", {0, 64, &DriveScript::DriveMicrosteps}},
        {"drive.microstep", {2, 2, &DriveScript::DriveMicrostep}},
        {"drive.param-lock", {2, 2, &DriveScript::DriveParamLock}},
        {"drive.fail", {1, 4, &DriveScript::DriveFail}},
        {"drive.null", {1, 4, &DriveScript::DriveNull}},
        {"writes", {0, 0, &DriveScript::Writes}},
    };
    return commands;
}

void DriveScript::Run(const Word& verb, const Arguments& arguments) {
    RunCommand(*this, Commands(), verb, arguments);
}

bool DriveScript::RunLine(const std::string& line, std::int32_t lineNumber) {
    return m_answers.Reporting(lineNumber, [&] {
        auto words = SplitScriptLine(line);
        if (!words.empty()) {
            const Word verb = words.front();
            words.erase(words.begin());
            Run(verb, words);
        }
        return true;
    });
}

sim::SimDrive& DriveScript::Simulator() const {
    if (m_simulator == nullptr) {
        throw std::runtime_error("the drive is not simulated here");
    }
    return *m_simulator;
}

void DriveScript::DriveParam(const Arguments& arguments) {
    m_drive.SetParam(ParseInt32(arguments[0]), ParseNumber(arguments[1]));
}

void DriveScript::DriveField(const Arguments& arguments) {
    m_drive.SetField(ParseInt32(arguments[0]), arguments[1].text, ParseInt32(arguments[2]));
}

void DriveScript::DriveEntry(const Arguments& arguments) {
    m_drive.SetValueNameVisible(ParseInt32(arguments[0]), arguments[1].text, ParseInt32(arguments[2]),
                                ParseVisibility(arguments[3]));
}

void DriveScript::DriveLock(const Arguments& arguments) {
    m_drive.SetAccessLevel(ParseInt32(arguments[0]));
}

void DriveScript::DriveOnline(const Arguments& arguments) {
    m_drive.SetOnline(ParseBool(arguments[0]));
}

void DriveScript::DriveEnabled(const Arguments& arguments) {
    m_drive.SetDriveEnabled(ParseBool(arguments[0]));
}

void DriveScript::DriveState(const Arguments& arguments) {
    m_drive.SetNodeState(ParseInt32(arguments[0]));
}

void DriveScript::DriveInput(const Arguments& arguments) {
    m_drive.SetInputWord(ParseInt32(arguments[0]));
}

void DriveScript::DriveCommutation(const Arguments& arguments) {
    m_drive.RaiseCommutationChanged(ParseInt32(arguments[0]), ParseInt32(arguments[1]));
}

void DriveScript::DriveCommSelectable(const Arguments& arguments) {
    m_drive.SetCommModeSelectable(ParseBool(arguments[0]));
}

void DriveScript::DriveTraceFlags(const Arguments& arguments) {
    m_drive.SetTraceFlags(ParseInt32(arguments[0]));
}

void DriveScript::DriveTurn(const Arguments& arguments) {
    const std::int32_t steps = ParseInt32(arguments[0]);
    if (steps < -kMaxTurnSteps || steps > kMaxTurnSteps) {
        throw std::invalid_argument("a turn is at most " + std::to_string(kMaxTurnSteps) + " steps either way");
    }
    Simulator().Motion().Turn(steps);
}

void DriveScript::DriveCatalogue(const Arguments& arguments) {
    m_drive.SetMotorTypeVisible(ParseInt32(arguments[0]), ParseVisibility(arguments[1]));
}

void DriveScript::DriveMicrosteps(const Arguments& arguments) {
    std::vector<std::pair<std::int32_t, std::string>> choices;
    for (const Word& argument : arguments) {
        const auto equals = argument.text.find('=');
        const Word code{argument.text.substr(0, equals)};
        const std::int32_t value = ParseInt32(code);
        choices.emplace_back(value,
                             equals == std::string::npos ? std::to_string(value) : argument.text.substr(equals + 1));
    }
    m_drive.SetMicrostepChoices(choices);
}

void DriveScript::DriveMicrostep(const Arguments& arguments) {
    m_drive.SetMicrostepVisible(ParseInt32(arguments[0]), ParseVisibility(arguments[1]));
}

void DriveScript::DriveParamLock(const Arguments& arguments) {
    m_drive.SetLockLevel(ParseInt32(arguments[0]), ParseInt32(arguments[1]));
}

void DriveScript::DriveFail(const Arguments& arguments) {
    InjectFault(arguments, sim::FaultInjector::Mode::Fail, "drive.fail");
}

void DriveScript::DriveNull(const Arguments& arguments) {
    InjectFault(arguments, sim::FaultInjector::Mode::ReturnNull, "drive.null");
}

void DriveScript::InjectFault(const Arguments& arguments, sim::FaultInjector::Mode faultMode,
                              const std::string& command) {
    const std::string& operation = arguments[0].text;
    if (!sim::FaultInjector::IsOperation(operation)) {
        throw std::invalid_argument("unknown operation '" + operation + "'");
    }
    if (faultMode == sim::FaultInjector::Mode::ReturnNull && !sim::FaultInjector::ReturnsObject(operation)) {
        throw std::invalid_argument("operation '" + operation + "' hands out no object");
    }
    std::size_t next = 1;
    sim::FaultScope scope;
    if (next < arguments.size() && arguments[next].text != "nth" && arguments[next].text != "always" &&
        arguments[next].text != "off") {
        scope.param = ParseInt32(arguments[next++]);
    }
    const std::string mode = next < arguments.size() ? arguments[next++].text : "always";
    auto& faults = Simulator().Faults();
    const bool fail = faultMode == sim::FaultInjector::Mode::Fail;
    if (mode == "always" && next == arguments.size()) {
        fail ? faults.FailEveryCall(operation, scope) : faults.NullEveryCall(operation, scope);
    } else if (mode == "off" && next == arguments.size()) {
        faults.Clear(operation);
    } else if (mode == "nth" && next + 1 == arguments.size()) {
        const std::int32_t nth = ParseInt32(arguments[next]);
        fail ? faults.FailCall(operation, nth, scope) : faults.NullCall(operation, nth, scope);
    } else {
        throw std::invalid_argument("expected: " + command + " OP [N] [nth K|always|off]");
    }
}

void DriveScript::Writes(const Arguments&) {
    for (const model::DriveWrite& write : m_drive.Writes()) {
        m_answers.Print(nlohmann::ordered_json::parse(write.Json()));
    }
}

}  // namespace vor::script
