// Which controls the user may operate: one walk over every control, deciding by the access
// level, the panel's Enabled switch and the motor configuration. The walk runs on every lock,
// page and Enabled change, so it allocates nothing while tracing is off.
#include <algorithm>
#include <array>
#include <typeinfo>

#include "vormotor/contracts/Tarvine.h"
#include "vormotor/core/FailureStyles.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/panel/MotorFormEnableRules.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/ui_util/ControlTypes.h"

namespace vor {
namespace {

using namespace motor_form;

constexpr std::int32_t kTraceFlag = 0x20;
constexpr std::string_view kTracePrefix = "DEBUG_MTR_PAGE: ";

// Motor types without a commutation invert choice, and the one without a sensor choice.
constexpr std::array<std::int32_t, 3> kMotorTypesWithoutCommInvert{1, 6, 5};
constexpr std::int32_t kMotorTypeWithoutSensorChoice = 6;
// The commutation mode that shows no sensor state.
constexpr std::int32_t kCommModeWithoutSensorState = 1;

std::string_view BoolText(bool value) {
    return value ? "True" : "False";
}

using C = EnableCondition;

}  // namespace

std::span<const MotorForm::EnableRule> MotorForm::InputControlRules() {
    static constexpr EnableRule rules[]{
        {"CommModeCombo", std::nullopt, {C::CommModeFieldPresent},
         {C::OffersAChoice, C::FullAccess, C::CommModeEditable, C::CommModeSelectable}, true,
         EnableVisibility::WhenCommModeSelectable},
        {"MotorStyleCombo", std::nullopt, {C::MotorTypeFieldPresent},
         {C::OffersAChoice, C::FullAccess, C::MotorTypeEditable}},
        {"MicrostepCombo", std::nullopt, {C::NodePresent, C::MicrostepParamPresent},
         {C::OffersAChoice, C::FullAccess, C::MicrostepLockLevelReached}},
        {"ConfigRadioGrp", 3, {C::CommModeFieldPresent},
         {C::MotorTypeHasCommInvert, C::FullAccess, C::CommModeEditable}},
        {"ConfigRadioGrp", std::nullopt, {}, {C::FullAccess}},
        {"SensorlessRadioGrp", std::nullopt, {}, {C::MotorTypeHasSensorChoice, C::FullAccess, C::CommModeEditable}},
        // Any other input control.
        {{}, std::nullopt, {}, {C::PanelEnabled}},
    };
    return rules;
}

std::span<const MotorForm::EnableRule> MotorForm::OtherControlRules() {
    static constexpr EnableRule rules[]{
        {"CommSensorFrame", std::nullopt, {}, {C::FullAccess}},
        {"MotorNamePlateFrame", std::nullopt, {}, {C::FullAccess}},
        {"OverloadFrame", std::nullopt, {}, {C::FullAccess}},
        {"JamFrame", std::nullopt, {}, {C::FullAccess}},
        {"EncoderFrame", std::nullopt, {}, {C::FullAccess}},
        {"StepperFrame", std::nullopt, {}, {C::FullAccess}},
        {"MotorFrame", std::nullopt, {}, {C::TuningOrFullAccess}},
        {"trqLoopTuneFrame", std::nullopt, {}, {C::TuningAccess}},
        {"CommOptionLbl", std::nullopt, {}, {C::FullAccess}, true, EnableVisibility::WhenCommModeNotSelectable},
        {"HallNumberFrame", std::nullopt, {C::MotorCfgPresent}, {C::UsesSensors, C::FullAccess}, true,
         EnableVisibility::Untouched, true},
        {"AngleLbl", std::nullopt, {C::MotorCfgPresent}, {C::UsesSensors, C::FullAccess}, true,
         EnableVisibility::Untouched, true},
        {"transLbl", std::nullopt, {C::MotorCfgPresent}, {C::UsesSensors, C::FullAccess}, true,
         EnableVisibility::Untouched, true},
        {"HallLbl", std::nullopt, {C::MotorCfgPresent}, {C::UsesSensors, C::FullAccess}, true,
         EnableVisibility::Untouched, true},
        {"CommutationLbl", std::nullopt, {C::MotorCfgPresent}, {C::CommModeShowsSensorState, C::PanelEnabled}},
        {"BitDisplayLbl", std::nullopt, {C::MotorCfgPresent}, {C::CommModeShowsSensorState, C::PanelEnabled}},
        // Any other control (the edge lines) is left as it is.
        {{}, std::nullopt, {}, {}, false},
    };
    return rules;
}

// One operand, read afresh; a failing read raises.
bool MotorForm::Holds(EnableCondition condition, const Access& access, Control& control) {
    using Check = bool (*)(MotorForm&, const Access&, Control&);
    static constexpr std::array<ConditionRow<Check>, kEnableConditionCount> checks{{
        {C::CommModeFieldPresent, [](MotorForm& f, const Access&, Control&) { return !f.m_fldCommMode.IsNothing(); }},
        {C::MotorTypeFieldPresent, [](MotorForm& f, const Access&, Control&) { return !f.m_fldMotorType.IsNothing(); }},
        {C::NodePresent, [](MotorForm& f, const Access&, Control&) { return !f.m_node.IsNothing(); }},
        {C::MicrostepParamPresent, [](MotorForm& f, const Access&, Control&) { return !f.m_ustepsPerTurn.IsNothing(); }},
        {C::MotorCfgPresent, [](MotorForm& f, const Access&, Control&) { return !f.m_motorCfg.IsNothing(); }},
        {C::OffersAChoice,
         [](MotorForm&, const Access&, Control& c) { return dynamic_cast<ComboBox&>(c).ListCount() > 1; }},
        {C::FullAccess, [](MotorForm&, const Access& a, Control&) { return a.level3; }},
        {C::TuningAccess, [](MotorForm&, const Access& a, Control&) { return a.level1; }},
        {C::TuningOrFullAccess, [](MotorForm&, const Access& a, Control&) { return a.level3 || a.level1; }},
        {C::PanelEnabled, [](MotorForm& f, const Access&, Control&) { return f.m_enabled; }},
        {C::CommModeEditable, [](MotorForm& f, const Access&, Control&) { return f.m_fldCommMode->Editable(); }},
        {C::MotorTypeEditable, [](MotorForm& f, const Access&, Control&) { return f.m_fldMotorType->Editable(); }},
        {C::CommModeSelectable, [](MotorForm& f, const Access&, Control&) { return f.m_net->CommModeSelectable(); }},
        {C::MicrostepLockLevelReached,
         [](MotorForm& f, const Access&, Control&) {
             return f.AccessLevel() >= f.m_ustepsPerTurn->LockLevel().Level();
         }},
        {C::MotorTypeHasCommInvert,
         [](MotorForm& f, const Access&, Control&) {
             const std::int32_t motorType = f.m_fldMotorType->Value();
             return std::find(kMotorTypesWithoutCommInvert.begin(), kMotorTypesWithoutCommInvert.end(), motorType) ==
                    kMotorTypesWithoutCommInvert.end();
         }},
        {C::MotorTypeHasSensorChoice,
         [](MotorForm& f, const Access&, Control&) {
             return f.m_fldMotorType->Value() != kMotorTypeWithoutSensorChoice;
         }},
        {C::UsesSensors, [](MotorForm& f, const Access&, Control&) { return f.m_fldSensorless->Value() == 0; }},
        {C::CommModeShowsSensorState,
         [](MotorForm& f, const Access&, Control&) {
             return f.m_fldCommMode->Value() != kCommModeWithoutSensorState;
         }},
    }};
    static_assert(InConditionOrder(checks));
    return checks[static_cast<std::size_t>(condition)].value(*this, access, control);
}

const std::vector<MotorForm::EnableStep>& MotorForm::EnablePlan() {
    const auto& controls = m_form.Controls();
    if (m_enablePlan.size() == controls.size()) {
        return m_enablePlan;
    }
    m_enablePlan.clear();
    for (Control* control : controls) {
        const bool input = IsInputControl(*control);
        if (input && control->Name() == "ParamItem") {
            m_enablePlan.push_back({control, nullptr, true, dynamic_cast<Tarvine*>(control)});
            continue;
        }
        const auto rules = input ? InputControlRules() : OtherControlRules();
        const auto rule = std::find_if(rules.begin(), rules.end(), [&](const EnableRule& candidate) {
            const bool nameMatches = candidate.name.empty() || candidate.name == control->Name();
            return nameMatches && (!candidate.index || candidate.index == control->Index());
        });
        m_enablePlan.push_back({control, &*rule, false, nullptr});
    }
    return m_enablePlan;
}

MotorForm::Access MotorForm::ReadAccess() {
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
    return access;
}

void MotorForm::ApplyEnablePolicy(bool activating) {
    if (m_net.IsNothing()) {
        return;
    }
    const Access access = ReadAccess();
    SkipOnFailure([&] { TraceMsg({"FormActivate activating = ", BoolText(activating)}); });

    for (const EnableStep& step : EnablePlan()) {
        Control& control = *step.control;
        SkipOnFailure([&] { TraceMsg({control.Name(), " activating"}); });
        if (step.isEditor) {
            ApplyEditorPolicy(step.editor, control);
        } else {
            ApplyRule(*step.rule, access, control);
        }
    }
}

void MotorForm::ApplyRule(const EnableRule& rule, const Access& access, Control& control) {
    if (!rule.decides) {
        return;
    }
    const auto met = [&](EnableCondition condition) { return Holds(condition, access, control); };
    if (!std::all_of(rule.preconditions.begin(), rule.preconditions.end(), met)) {
        SkipOnFailure([&] { control.SetEnabled(false); });
        return;
    }
    SkipOnFailure([&] {
        bool enabled = true;
        for (const EnableCondition operand : rule.operands) {
            enabled = met(operand) && enabled;
        }
        control.SetEnabled(enabled);
    });
    if (rule.visibility != EnableVisibility::Untouched) {
        SkipOnFailure([&] {
            const bool selectable = met(EnableCondition::CommModeSelectable);
            control.SetVisible(selectable == (rule.visibility == EnableVisibility::WhenCommModeSelectable));
        });
    }
    if (rule.traceResult) {
        SkipOnFailure([&] { TraceMsg({control.Name(), " just set Enabled=", BoolText(control.Enabled())}); });
    }
}

// An editor follows the panel's switch; a parameter whose lock level the user lacks only
// leaves the tab order.
void MotorForm::ApplyEditorPolicy(Tarvine* editor, Control& control) {
    if (editor == nullptr) {
        throw std::bad_cast();
    }
    if (m_node.IsNothing()) {
        SkipOnFailure([&] { control.SetEnabled(false); });
        SkipOnFailure([&] { control.SetTabStop(false); });
    }
    if (!editor->ValueObjRef()) {
        SkipOnFailure([&] { control.SetEnabled(false); });
        SkipOnFailure([&] { control.SetTabStop(false); });
        return;
    }
    SkipOnFailure([&] { control.SetEnabled(m_enabled); });
    SkipOnFailure([&] {
        const bool levelAllows = AccessLevel() >= editor->ValueObjRef()->LockLevel().Level();
        control.SetTabStop(m_enabled && levelAllows);
    });
}

std::int32_t MotorForm::AccessLevel() {
    return m_node->AccessLock()->Level();
}

void MotorForm::TraceMsg(std::initializer_list<std::string_view> parts) {
    if (m_net.IsNothing()) {
        return;
    }
    const auto sink = m_net->TraceSink();
    if ((sink->TraceFlags() & kTraceFlag) != 0) {
        std::string line(kTracePrefix);
        for (const std::string_view part : parts) {
            line += part;
        }
        sink->TraceWrite(line);
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
