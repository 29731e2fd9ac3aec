// Which controls the user may operate: one walk over every control, deciding by the access
// level, the panel's Enabled switch and the motor configuration.
#include <functional>
#include <optional>
#include <string_view>

#include "vormotor/contracts/Tarvine.h"
#include "vormotor/core/FailureStyles.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/ui_util/ControlTypes.h"

namespace vor {
namespace {

using namespace motor_form;

constexpr std::int32_t kTraceFlag = 0x20;

const char* BoolText(bool value) {
    return value ? "True" : "False";
}

bool OffersAChoice(Control& control) {
    return dynamic_cast<ComboBox&>(control).ListCount() > 1;
}

}  // namespace

// One row of the rule tables. A row matches by name, and by index when it has one. When the
// precondition is not met the control is disabled and nothing else happens. Every operand of
// `enabled` is evaluated before they are combined, so a failing operand skips the assignment
// even when another one already decides it.
struct MotorForm::EnableRule {
    std::string_view name;
    std::optional<std::int32_t> index;
    std::function<bool(MotorForm&)> precondition;
    std::function<bool(MotorForm&, const Access&, Control&)> enabled;
    std::function<bool(MotorForm&)> visible;
    bool traceResult = false;
};

const std::vector<MotorForm::EnableRule>& MotorForm::InputControlRules() {
    static const std::vector<EnableRule> rules{
        {"CommModeCombo", std::nullopt, [](MotorForm& f) { return !f.m_fldCommMode.IsNothing(); },
         [](MotorForm& f, const Access& a, Control& c) {
             const bool choice = OffersAChoice(c);
             const bool editable = f.m_fldCommMode->Editable();
             const bool selectable = f.m_net->CommModeSelectable();
             return choice && a.level3 && editable && selectable;
         },
         [](MotorForm& f) { return f.m_net->CommModeSelectable(); }},
        {"MotorStyleCombo", std::nullopt, [](MotorForm& f) { return !f.m_fldMotorType.IsNothing(); },
         [](MotorForm& f, const Access& a, Control& c) {
             const bool choice = OffersAChoice(c);
             const bool editable = f.m_fldMotorType->Editable();
             return choice && a.level3 && editable;
         },
         nullptr},
        {"MicrostepCombo", std::nullopt,
         [](MotorForm& f) { return !f.m_node.IsNothing() && !f.m_ustepsPerTurn.IsNothing(); },
         [](MotorForm& f, const Access& a, Control& c) {
             const bool choice = OffersAChoice(c);
             const bool levelAllows = f.AccessLevel() >= f.m_ustepsPerTurn->LockLevel().Level();
             return choice && a.level3 && levelAllows;
         },
         nullptr},
        {"ConfigRadioGrp", 3, [](MotorForm& f) { return !f.m_fldCommMode.IsNothing(); },
         [](MotorForm& f, const Access& a, Control&) {
             const std::int32_t motorType = f.m_fldMotorType->Value();
             const bool editable = f.m_fldCommMode->Editable();
             return motorType != 1 && a.level3 && motorType != 6 && motorType != 5 && editable;
         },
         nullptr},
        {"ConfigRadioGrp", std::nullopt, nullptr, [](MotorForm&, const Access& a, Control&) { return a.level3; },
         nullptr},
        {"SensorlessRadioGrp", std::nullopt, nullptr,
         [](MotorForm& f, const Access& a, Control&) {
             const std::int32_t motorType = f.m_fldMotorType->Value();
             const bool editable = f.m_fldCommMode->Editable();
             return motorType != 6 && a.level3 && editable;
         },
         nullptr},
        // Any other input control.
        {{}, std::nullopt, nullptr, [](MotorForm& f, const Access&, Control&) { return f.m_enabled; }, nullptr},
    };
    return rules;
}

const std::vector<MotorForm::EnableRule>& MotorForm::OtherControlRules() {
    const auto fullAccess = [](MotorForm&, const Access& a, Control&) { return a.level3; };
    const auto motorCfgPresent = [](MotorForm& f) { return !f.m_motorCfg.IsNothing(); };
    const auto sensorDisplay = [](MotorForm& f, const Access& a, Control&) {
        const bool usesSensors = f.m_fldSensorless->Value() == 0;
        return usesSensors && a.level3;
    };
    const auto sensorReadout = [](MotorForm& f, const Access&, Control&) {
        const bool notMode1 = f.m_fldCommMode->Value() != 1;
        return notMode1 && f.m_enabled;
    };
    static const std::vector<EnableRule> rules{
        {"CommSensorFrame", std::nullopt, nullptr, fullAccess, nullptr},
        {"MotorNamePlateFrame", std::nullopt, nullptr, fullAccess, nullptr},
        {"OverloadFrame", std::nullopt, nullptr, fullAccess, nullptr},
        {"JamFrame", std::nullopt, nullptr, fullAccess, nullptr},
        {"EncoderFrame", std::nullopt, nullptr, fullAccess, nullptr},
        {"StepperFrame", std::nullopt, nullptr, fullAccess, nullptr},
        {"MotorFrame", std::nullopt, nullptr,
         [](MotorForm&, const Access& a, Control&) { return a.level3 || a.level1; }, nullptr},
        {"trqLoopTuneFrame", std::nullopt, nullptr, [](MotorForm&, const Access& a, Control&) { return a.level1; },
         nullptr},
        {"CommOptionLbl", std::nullopt, nullptr, fullAccess,
         [](MotorForm& f) { return !f.m_net->CommModeSelectable(); }},
        {"HallNumberFrame", std::nullopt, motorCfgPresent, sensorDisplay, nullptr, true},
        {"AngleLbl", std::nullopt, motorCfgPresent, sensorDisplay, nullptr, true},
        {"transLbl", std::nullopt, motorCfgPresent, sensorDisplay, nullptr, true},
        {"HallLbl", std::nullopt, motorCfgPresent, sensorDisplay, nullptr, true},
        {"CommutationLbl", std::nullopt, motorCfgPresent, sensorReadout, nullptr},
        {"BitDisplayLbl", std::nullopt, motorCfgPresent, sensorReadout, nullptr},
        // Any other control (the edge lines) is left as it is.
        {{}, std::nullopt, nullptr, nullptr, nullptr},
    };
    return rules;
}

void MotorForm::ApplyEnablePolicy(bool activating) {
    if (m_net.IsNothing()) {
        return;
    }
    Access access;
    if (!m_node.IsNothing()) {
        SkipOnFailure([&] {
            const bool levelAllows = AccessLevel() >= kFullAccess;
            access.level3 = m_enabled && levelAllows;
        });
        SkipOnFailure([&] {
            const bool levelAllows = AccessLevel() >= kTuningAccess;
            access.level1 = m_enabled && levelAllows;
        });
    }
    SkipOnFailure([&] { TraceMsg(std::string("FormActivate activating = ") + BoolText(activating)); });

    for (Control* control : m_form.Controls()) {
        SkipOnFailure([&] { TraceMsg(control->Name() + " activating"); });
        if (IsInputControl(*control) && control->Name() == "ParamItem") {
            ApplyEditorPolicy(*control);
            continue;
        }
        const auto& rules = IsInputControl(*control) ? InputControlRules() : OtherControlRules();
        for (const EnableRule& rule : rules) {
            const bool nameMatches = rule.name.empty() || rule.name == control->Name();
            if (nameMatches && (!rule.index || rule.index == control->Index())) {
                ApplyRule(rule, access, *control);
                break;
            }
        }
    }
}

void MotorForm::ApplyRule(const EnableRule& rule, const Access& access, Control& control) {
    if (!rule.enabled) {
        return;
    }
    if (rule.precondition && !rule.precondition(*this)) {
        SkipOnFailure([&] { control.SetEnabled(false); });
        return;
    }
    SkipOnFailure([&] { control.SetEnabled(rule.enabled(*this, access, control)); });
    if (rule.visible) {
        SkipOnFailure([&] { control.SetVisible(rule.visible(*this)); });
    }
    if (rule.traceResult) {
        SkipOnFailure([&] { TraceMsg(control.Name() + " just set Enabled=" + BoolText(control.Enabled())); });
    }
}

// An editor follows the panel's switch; a parameter whose lock level the user lacks only
// leaves the tab order.
void MotorForm::ApplyEditorPolicy(Control& control) {
    auto& editor = dynamic_cast<Tarvine&>(control);
    if (m_node.IsNothing()) {
        SkipOnFailure([&] { control.SetEnabled(false); });
        SkipOnFailure([&] { control.SetTabStop(false); });
    }
    if (!editor.ValueObjRef()) {
        SkipOnFailure([&] { control.SetEnabled(false); });
        SkipOnFailure([&] { control.SetTabStop(false); });
        return;
    }
    SkipOnFailure([&] { control.SetEnabled(m_enabled); });
    SkipOnFailure([&] {
        const bool levelAllows = AccessLevel() >= editor.ValueObjRef()->LockLevel().Level();
        control.SetTabStop(m_enabled && levelAllows);
    });
}

std::int32_t MotorForm::AccessLevel() {
    return Required(m_node->AccessLock())->Level();
}

void MotorForm::TraceMsg(const std::string& text) {
    if (m_net.IsNothing()) {
        return;
    }
    const auto sink = Required(m_net->TraceSink());
    if ((sink->TraceFlags() & kTraceFlag) != 0) {
        sink->TraceWrite("DEBUG_MTR_PAGE: " + text);
    }
}

void MotorForm::SetEnabled(bool newState) {
    m_enabled = newState;
    ApplyEnablePolicy(newState);
}

void MotorForm::m_appLock_Changed() {
    UpdateMotorTypeAccess();
    ApplyEnablePolicy(m_enabled);
}

void MotorForm::UserControl_Show() {
    ApplyEnablePolicy(m_enabled);
}

void MotorForm::UserControl_Hide() {
    ApplyEnablePolicy(m_enabled);
}

}  // namespace vor
