#include "apps/host/ScriptHost.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "apps/host/ControlJson.h"
#include "vormotor/core/Error.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/editors/SorvaneGroup.h"
#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/panel/MotorFormProbe.h"
#include "vormotor/panel/PanelClasses.h"
#include "vormotor/toolkit/ApplicationCursor.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/ui_util/MousePointerStack.h"

namespace vor::host {

using script::ParseBool;
using script::ParseControlRef;
using script::ParseInt32;
using script::ParseInteger;
using script::ParseNumber;

namespace {

[[noreturn]] void Refuse(const std::string& why) {
    throw std::runtime_error(why);
}

}  // namespace

ScriptHost::ScriptHost(std::unique_ptr<sim::SimDrive> drive, std::ostream& out)
    : ScriptHost(std::move(drive), true, out) {}

ScriptHost::ScriptHost(std::unique_ptr<model::DriveModel> drive, std::ostream& out)
    : ScriptHost(std::move(drive), false, out) {}

ScriptHost::ScriptHost(std::unique_ptr<model::DriveModel> drive, bool simulated, std::ostream& out)
    : m_drive(std::move(drive)),
      m_output(out),
      m_driveSide(*m_drive, simulated ? static_cast<sim::SimDrive*>(m_drive.get()) : nullptr, m_output) {
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

const script::ScriptCommands<ScriptHost>& ScriptHost::Commands() {
    static const script::ScriptCommands<ScriptHost> commands{
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
        {"dump", {0, 1, &ScriptHost::Dump}},
        {"props", {0, 0, &ScriptHost::Props}},
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
    return m_output.Reporting(lineNumber, [&] {
        auto words = script::SplitScriptLine(line);
        if (words.empty()) {
            return true;
        }
        const script::Word verb = words.front();
        const bool driveSide = script::DriveScript::IsDriveSide(verb);
        if (driveSide && m_remote) {
            return m_remote(line, lineNumber);
        }
        words.erase(words.begin());
        if (driveSide) {
            m_driveSide.Run(verb, words);
        } else {
            script::RunCommand(*this, Commands(), verb, words);
        }
        return true;
    });
}

MotorForm& ScriptHost::Panel() const {
    if (!m_panel) {
        Refuse("no panel: use create first");
    }
    return *m_panel;
}

Control& ScriptHost::Named(const script::ControlRef& ref) const {
    auto& form = Panel().GetForm();
    return ref.index ? form.Find(ref.name, *ref.index) : form.Find(ref.name);
}

Control& ScriptHost::UserReachable(const script::ControlRef& ref) const {
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
    const script::Word& answer = arguments[0];
    if (!answer.quoted && answer.text == "ok") {
        m_answers.push_back(MessageBoxResult::Ok);
    } else if (!answer.quoted && answer.text == "cancel") {
        m_answers.push_back(MessageBoxResult::Cancel);
    } else {
        throw std::invalid_argument("expected ok or cancel, got '" + answer.text + "'");
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
    const MotorFormProbe::State state = MotorFormProbe::StateOf(Panel());
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
