#include "apps/host/ScriptHost.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "apps/host/ControlJson.h"
#include "vormotor/core/Error.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/editors/SorvaneGroup.h"
#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/panel/PanelClasses.h"
#include "vormotor/toolkit/ApplicationCursor.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/ui_util/MousePointerStack.h"

namespace vor::host {
namespace {

[[noreturn]] void Refuse(const std::string& why) {
    throw std::runtime_error(why);
}

nlohmann::ordered_json WriteJson(const model::DriveWrite& write) {
    return nlohmann::ordered_json::parse(write.Json());
}

}  // namespace

ScriptHost::ScriptHost(std::unique_ptr<sim::SimDrive> drive, std::ostream& out)
    : ScriptHost(std::unique_ptr<model::DriveModel>(), out) {
    m_simulator = drive.get();
    m_drive = std::move(drive);
}

ScriptHost::ScriptHost(std::unique_ptr<model::DriveModel> drive, std::ostream& out)
    : m_drive(std::move(drive)), m_out(out) {
    editors::EditorClasses::Register();
    m_previousResponder = ModalMessageBox::SetResponder([this](const MessageBoxRequest& request) {
        MessageBoxResult answer = MessageBoxResult::Ok;
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        }
        m_messages.push_back({{"title", request.title},
                              {"prompt", request.prompt},
                              {"answer", answer == MessageBoxResult::Ok ? "ok" : "cancel"}});
        return answer;
    });
}

ScriptHost::~ScriptHost() {
    m_panel.reset();
    ModalMessageBox::SetResponder(std::move(m_previousResponder));
}

const std::map<std::string, ScriptHost::Command, std::less<>>& ScriptHost::Commands() {
    static const std::map<std::string, Command, std::less<>> commands{
        {"create", {0, 0, &ScriptHost::Create}},
        {"destroy", {0, 0, &ScriptHost::Destroy}},
        {"attach", {0, 1, &ScriptHost::Attach}},
        {"release", {0, 0, &ScriptHost::Release}},
        {"show", {0, 0, &ScriptHost::Show}},
        {"hide", {0, 0, &ScriptHost::Hide}},
        {"resize", {2, 2, &ScriptHost::Resize}},
        {"enabled", {1, 1, &ScriptHost::Enabled}},
        {"tick", {0, 1, &ScriptHost::Tick}},
        {"page-enable", {1, 1, &ScriptHost::PageEnable}},
        {"tech-support", {1, 1, &ScriptHost::TechSupport}},
        {"pick", {2, 2, &ScriptHost::Pick}},
        {"radio", {2, 2, &ScriptHost::Radio}},
        {"edit", {2, 2, &ScriptHost::Edit}},
        {"answer", {1, 1, &ScriptHost::Answer}},
        {"drive.param", {2, 2, &ScriptHost::DriveParam}},
        {"drive.field", {3, 3, &ScriptHost::DriveField}},
        {"drive.entry", {4, 4, &ScriptHost::DriveEntry}},
        {"drive.lock", {1, 1, &ScriptHost::DriveLock}},
        {"drive.online", {1, 1, &ScriptHost::DriveOnline}},
        {"drive.enabled", {1, 1, &ScriptHost::DriveEnabled}},
        {"drive.state", {1, 1, &ScriptHost::DriveState}},
        {"drive.input", {1, 1, &ScriptHost::DriveInput}},
        {"drive.commutation", {2, 2, &ScriptHost::DriveCommutation}},
        {"drive.comm-selectable", {1, 1, &ScriptHost::DriveCommSelectable}},
        {"drive.trace-flags", {1, 1, &ScriptHost::DriveTraceFlags}},
        {"drive.turn", {1, 1, &ScriptHost::DriveTurn}},
        {"drive.catalogue", {2, 2, &ScriptHost::DriveCatalogue}},
        {"drive.microsteps", {0, 64, &ScriptHost::DriveMicrosteps}},
        {"drive.microstep", {2, 2, &ScriptHost::DriveMicrostep}},
        {"drive.param-lock", {2, 2, &ScriptHost::DriveParamLock}},
        {"drive.fail", {1, 4, &ScriptHost::DriveFail}},
        {"drive.null", {1, 4, &ScriptHost::DriveNull}},
        {"dump", {0, 1, &ScriptHost::Dump}},
        {"props", {0, 0, &ScriptHost::Props}},
        {"writes", {0, 0, &ScriptHost::Writes}},
        {"trace", {0, 0, &ScriptHost::Trace}},
        {"messages", {0, 0, &ScriptHost::Messages}},
        {"cursor", {0, 0, &ScriptHost::Cursor}},
        {"state", {0, 0, &ScriptHost::State}},
        {"why", {1, 1, &ScriptHost::Why}},
    };
    return commands;
}

bool ScriptHost::Run(std::istream& script, bool strict) {
    bool allSucceeded = true;
    std::string line;
    for (std::int32_t lineNumber = 1; std::getline(script, line); ++lineNumber) {
        if (!RunLine(line, lineNumber)) {
            allSucceeded = false;
            if (strict) {
                break;
            }
        }
    }
    return allSucceeded;
}

bool ScriptHost::RunLine(const std::string& line, std::int32_t lineNumber) {
    try {
        auto words = SplitScriptLine(line);
        if (words.empty()) {
            return true;
        }
        const Word verb = words.front();
        if (m_remote && !verb.quoted && (verb.text.starts_with("drive.") || verb.text == "writes")) {
            return m_remote(line, lineNumber);
        }
        words.erase(words.begin());
        const auto found = Commands().find(verb.text);
        if (verb.quoted || found == Commands().end()) {
            throw std::invalid_argument("unknown command '" + verb.text + "'");
        }
        const Command& command = found->second;
        if (words.size() < command.minArguments || words.size() > command.maxArguments) {
            throw std::invalid_argument("wrong number of arguments for '" + verb.text + "'");
        }
        (this->*command.run)(words);
        return true;
    } catch (const std::exception& failure) {
        Print({{"error", "line " + std::to_string(lineNumber) + ": " + failure.what()}});
        return false;
    }
}

sim::SimDrive& ScriptHost::Simulator() const {
    if (m_simulator == nullptr) {
        Refuse("the drive is not simulated here");
    }
    return *m_simulator;
}

MotorForm& ScriptHost::Panel() const {
    if (!m_panel) {
        Refuse("no panel: use create first");
    }
    return *m_panel;
}

Control& ScriptHost::Named(const ControlRef& ref) const {
    auto& form = Panel().GetForm();
    return ref.index ? form.Find(ref.name, *ref.index) : form.Find(ref.name);
}

Control& ScriptHost::UserReachable(const ControlRef& ref) const {
    auto& form = Panel().GetForm();
    Control& control = Named(ref);
    if (!form.Surface().Visible()) {
        Refuse("the panel is not shown");
    }
    if (!control.EffectiveVisible()) {
        Refuse(ref.name + " is hidden");
    }
    if (!control.EffectiveEnabled()) {
        Refuse(ref.name + " is disabled");
    }
    return control;
}

void ScriptHost::Print(const nlohmann::ordered_json& json) {
    // Script lines are checked to be UTF-8, but not every text is: VersionStr names the host's
    // folder, whatever its bytes. A bad byte prints as U+FFFD rather than failing the answer.
    m_out << json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void ScriptHost::Create(const Arguments&) {
    if (m_panel) {
        Refuse("the panel exists already");
    }
    m_panel = std::dynamic_pointer_cast<MotorForm>(CreatePanel(kMotorFormClass));
}

void ScriptHost::Destroy(const Arguments&) {
    Panel();
    m_panel.reset();
}

void ScriptHost::Attach(const Arguments& arguments) {
    std::shared_ptr<DriveNode> node = m_drive->Node();
    if (!arguments.empty()) {
        if (arguments[0].quoted || arguments[0].text != "null") {
            throw std::invalid_argument("expected 'attach' or 'attach null'");
        }
        node = nullptr;
    }
    Panel().AttachControl(m_drive->Network(), node, nullptr, "VorMotorCtl", "Motor");
}

void ScriptHost::Release(const Arguments&) {
    Panel().ReleaseControl();
}

void ScriptHost::Show(const Arguments&) {
    Panel().GetForm().Surface().Show();
}

void ScriptHost::Hide(const Arguments&) {
    Panel().GetForm().Surface().Hide();
}

void ScriptHost::Resize(const Arguments& arguments) {
    const double width = ParseNumber(arguments[0]);
    const double height = ParseNumber(arguments[1]);
    if (width < 0 || height < 0) {
        throw std::invalid_argument("a size cannot be negative");
    }
    if (width > kMaxSurfaceTwips || height > kMaxSurfaceTwips) {
        throw std::invalid_argument("a size is at most " + std::to_string(kMaxSurfaceTwips) + " twips");
    }
    Panel().GetForm().Surface().Resize(static_cast<float>(width), static_cast<float>(height));
}

void ScriptHost::Enabled(const Arguments& arguments) {
    Panel().SetEnabled(ParseBool(arguments[0]));
}

void ScriptHost::Tick(const Arguments& arguments) {
    const std::int64_t count = arguments.empty() ? 1 : ParseInteger(arguments[0]);
    if (count < 0) {
        throw std::invalid_argument("a tick count cannot be negative");
    }
    if (count > kMaxTicks) {
        throw std::invalid_argument("at most " + std::to_string(kMaxTicks) + " ticks at a time");
    }
    for (std::int64_t i = 0; i < count; ++i) {
        m_drive->RaiseTimerTick();
    }
}

void ScriptHost::PageEnable(const Arguments& arguments) {
    m_drive->RaiseMotorPageEnableChanged(ParseBool(arguments[0]));
}

void ScriptHost::TechSupport(const Arguments& arguments) {
    m_drive->RaiseTechSupportChanged(ParseBool(arguments[0]));
}

void ScriptHost::Pick(const Arguments& arguments) {
    auto* combo = dynamic_cast<ComboBox*>(&UserReachable(ParseControlRef(arguments[0].text)));
    if (combo == nullptr) {
        Refuse(arguments[0].text + " is not a drop-down list");
    }
    std::int32_t index = -1;
    if (arguments[1].quoted) {
        for (std::int32_t i = 0; i < combo->ListCount(); ++i) {
            if (combo->List(i) == arguments[1].text) {
                index = i;
                break;
            }
        }
        if (index < 0) {
            Refuse(arguments[0].text + " has no item \"" + arguments[1].text + "\"");
        }
    } else {
        index = ParseInt32(arguments[1]);
        if (index < 0 || index >= combo->ListCount()) {
            Refuse(arguments[0].text + " has no item " + arguments[1].text);
        }
    }
    combo->UserPick(index);
}

void ScriptHost::Radio(const Arguments& arguments) {
    auto* group = dynamic_cast<editors::SorvaneGroup*>(&UserReachable(ParseControlRef(arguments[0].text)));
    if (group == nullptr) {
        Refuse(arguments[0].text + " is not a field radio group");
    }
    const std::int32_t value = ParseInt32(arguments[1]);
    const auto& options = group->Options();
    const auto option =
        std::find_if(options.begin(), options.end(),
                     [value](const editors::SorvaneGroup::Option& candidate) { return candidate.code == value; });
    if (option == options.end()) {
        Refuse(arguments[0].text + " offers no option " + arguments[1].text);
    }
    if (!group->UserPick(static_cast<std::int32_t>(option - options.begin()))) {
        Refuse(group->Message());
    }
}

void ScriptHost::Edit(const Arguments& arguments) {
    auto* editor = dynamic_cast<editors::TarvineEditor*>(&UserReachable(ParseControlRef(arguments[0].text)));
    if (editor == nullptr) {
        Refuse(arguments[0].text + " is not a parameter editor");
    }
    if (!editor->UserEdit(arguments[1].text)) {
        Refuse(editor->Message());
    }
}

void ScriptHost::Answer(const Arguments& arguments) {
    const Word& answer = arguments[0];
    if (!answer.quoted && answer.text == "ok") {
        m_answers.push_back(MessageBoxResult::Ok);
    } else if (!answer.quoted && answer.text == "cancel") {
        m_answers.push_back(MessageBoxResult::Cancel);
    } else {
        throw std::invalid_argument("expected ok or cancel, got '" + answer.text + "'");
    }
}

void ScriptHost::DriveParam(const Arguments& arguments) {
    m_drive->SetParam(ParseInt32(arguments[0]), ParseNumber(arguments[1]));
}

void ScriptHost::DriveField(const Arguments& arguments) {
    m_drive->SetField(ParseInt32(arguments[0]), arguments[1].text, ParseInt32(arguments[2]));
}

void ScriptHost::DriveEntry(const Arguments& arguments) {
    m_drive->SetValueNameVisible(ParseInt32(arguments[0]), arguments[1].text, ParseInt32(arguments[2]),
                                 ParseVisibility(arguments[3]));
}

void ScriptHost::DriveLock(const Arguments& arguments) {
    m_drive->SetAccessLevel(ParseInt32(arguments[0]));
}

void ScriptHost::DriveOnline(const Arguments& arguments) {
    m_drive->SetOnline(ParseBool(arguments[0]));
}

void ScriptHost::DriveEnabled(const Arguments& arguments) {
    m_drive->SetDriveEnabled(ParseBool(arguments[0]));
}

void ScriptHost::DriveState(const Arguments& arguments) {
    m_drive->SetNodeState(ParseInt32(arguments[0]));
}

void ScriptHost::DriveInput(const Arguments& arguments) {
    m_drive->SetInputWord(ParseInt32(arguments[0]));
}

void ScriptHost::DriveCommutation(const Arguments& arguments) {
    m_drive->RaiseCommutationChanged(ParseInt32(arguments[0]), ParseInt32(arguments[1]));
}

void ScriptHost::DriveCommSelectable(const Arguments& arguments) {
    m_drive->SetCommModeSelectable(ParseBool(arguments[0]));
}

void ScriptHost::DriveTraceFlags(const Arguments& arguments) {
    m_drive->SetTraceFlags(ParseInt32(arguments[0]));
}

void ScriptHost::DriveTurn(const Arguments& arguments) {
    const std::int32_t steps = ParseInt32(arguments[0]);
    if (steps < -kMaxTurnSteps || steps > kMaxTurnSteps) {
        throw std::invalid_argument("a turn is at most " + std::to_string(kMaxTurnSteps) + " steps either way");
    }
    Simulator().Motion().Turn(steps);
}

void ScriptHost::DriveCatalogue(const Arguments& arguments) {
    m_drive->SetMotorTypeVisible(ParseInt32(arguments[0]), ParseVisibility(arguments[1]));
}

void ScriptHost::DriveMicrosteps(const Arguments& arguments) {
    std::vector<std::pair<std::int32_t, std::string>> choices;
    for (const Word& argument : arguments) {
        const auto equals = argument.text.find('=');
        const Word code{argument.text.substr(0, equals)};
        const std::int32_t value = ParseInt32(code);
        choices.emplace_back(value,
                             equals == std::string::npos ? std::to_string(value) : argument.text.substr(equals + 1));
    }
    m_drive->SetMicrostepChoices(choices);
}

void ScriptHost::DriveMicrostep(const Arguments& arguments) {
    m_drive->SetMicrostepVisible(ParseInt32(arguments[0]), ParseVisibility(arguments[1]));
}

void ScriptHost::DriveParamLock(const Arguments& arguments) {
    m_drive->SetLockLevel(ParseInt32(arguments[0]), ParseInt32(arguments[1]));
}

void ScriptHost::DriveFail(const Arguments& arguments) {
    InjectFault(arguments, sim::FaultInjector::Mode::Fail, "drive.fail");
}

void ScriptHost::DriveNull(const Arguments& arguments) {
    InjectFault(arguments, sim::FaultInjector::Mode::ReturnNull, "drive.null");
}

void ScriptHost::InjectFault(const Arguments& arguments, sim::FaultInjector::Mode faultMode,
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

void ScriptHost::Dump(const Arguments& arguments) {
    if (arguments.empty()) {
        for (Control* control : Panel().GetForm().Controls()) {
            Print(ControlJson(*control));
        }
        return;
    }
    Print(ControlJson(Named(ParseControlRef(arguments[0].text))));
}

void ScriptHost::Props(const Arguments&) {
    auto& panel = Panel();
    Print({{"VersionStr", panel.VersionStr()}, {"BarColor", panel.BarColor()}, {"Enabled", panel.Enabled()}});
}

void ScriptHost::Writes(const Arguments&) {
    for (const model::DriveWrite& write : m_drive->Writes()) {
        Print(WriteJson(write));
    }
}

void ScriptHost::Trace(const Arguments&) {
    for (const std::string& line : m_drive->TraceLines()) {
        Print({{"trace", line}});
    }
}

void ScriptHost::Messages(const Arguments&) {
    for (const auto& message : m_messages) {
        Print(message);
    }
}

void ScriptHost::Cursor(const Arguments&) {
    const std::int16_t cursor = ApplicationCursor::Instance().Get();
    nlohmann::ordered_json shown = cursor == ApplicationCursor::Default     ? nlohmann::ordered_json("default")
                                   : cursor == ApplicationCursor::Hourglass ? nlohmann::ordered_json("busy")
                                                                            : nlohmann::ordered_json(cursor);
    Print({{"cursor", shown}, {"depth", MousePointerDepth()}});
}

void ScriptHost::State(const Arguments&) {
    const MotorForm::State state = Panel().GetState();
    Print({{"m_updating", state.updating},
           {"m_commDisplayDue", state.commDisplayDue},
           {"m_commModeListDue", state.commModeListDue},
           {"m_microstepListDue", state.microstepListDue}});
}

// Whether the user can operate a control, and if not, why.
void ScriptHost::Why(const Arguments& arguments) {
    Control& control = Named(ParseControlRef(arguments[0].text));
    const nlohmann::ordered_json reasons = ReasonTexts(Panel().EnableReasons(control));
    const std::string name =
        control.Index() ? control.Name() + "(" + std::to_string(*control.Index()) + ")" : control.Name();
    Print({{"name", name}, {"enabled", control.EffectiveEnabled()}, {"reasons", reasons}});
}

}  // namespace vor::host
