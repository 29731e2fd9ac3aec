// Which controls the user may operate: one walk over every control, deciding by the access
// level, the panel's Enabled switch and the motor configuration. The walk runs on every lock,
// page and Enabled change, so it allocates nothing while tracing is off.
#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <typeinfo>

#include "vormotor/contracts/Tarvine.h"
#include "vormotor/core/FailureStyles.h"
#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/panel/MotorFormEnableRules.h"
#include "vormotor/panel/MotorFormImpl.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/PropertyErrors.h"
#include "vormotor/ui_util/ControlTypes.h"

namespace vor {
namespace {

using namespace motor_form;

constexpr std::int32_t kTraceFlag = 0x20;
constexpr std::string_view kTracePrefix = "DEBUG_MTR_PAGE: ";

// The motor type without a sensor choice (it has no commutation invert either).
constexpr std::int32_t kMotorTypeWithoutSensorChoice = 6;
// The commutation mode that shows no sensor state.
constexpr std::int32_t kCommModeWithoutSensorState = 1;

std::string_view BoolText(bool value) {
    return value ? "True" : "False";
}

// Every control of a walk asks whether tracing is on; the line is put together apart from that
// question, which is all a walk with tracing off pays.
[[gnu::noinline]] void WriteTraceLine(TraceSink& sink, std::initializer_list<std::string_view> parts) {
    std::string line(kTracePrefix);
    for (const std::string_view part : parts) {
        line += part;
    }
    sink.TraceWrite(line);
}

// The list rules name combo boxes only, and the class is final: a control of exactly that type
// spares the walk the cast's search of the class hierarchy. Any other control fails the cast as
// before.
ComboBox& AsList(Control& control) {
    if (typeid(control) == typeid(ComboBox)) {
        return static_cast<ComboBox&>(control);
    }
    return dynamic_cast<ComboBox&>(control);
}

using C = EnableCondition;

}  // namespace

// Asked once per control of every walk: taken into the walk itself, so that the question costs
// no more than the calls to the trace sink it makes; the parts, a control's name among them, are
// not even looked at unless the line is written.
template <class... Parts>
[[gnu::always_inline]] inline void MotorForm::Impl::TraceMsg(const Parts&... parts) {
    if (m_net.IsNothing()) {
        return;
    }
    const Ref sink(m_net->TraceSink());
    if ((sink->TraceFlags() & kTraceFlag) != 0) [[unlikely]] {
        WriteTraceLine(*sink, {std::string_view(parts)...});
    }
}

std::span<const MotorForm::Impl::EnableRule> MotorForm::Impl::InputControlRules() {
    static constexpr EnableRule rules[]{
        {.name = "CommModeCombo",
         .preconditions = {C::CommModeFieldPresent},
         .operands = {C::OffersAChoice, C::FullAccess, C::CommModeEditable, C::CommModeSelectable},
         .visibility = EnableVisibility::WhenCommModeSelectable},
        {.name = "MotorStyleCombo",
         .preconditions = {C::MotorTypeFieldPresent},
         .operands = {C::OffersAChoice, C::FullAccess, C::MotorTypeEditable}},
        {.name = "MicrostepCombo",
         .preconditions = {C::NodePresent, C::MicrostepParamPresent},
         .operands = {C::OffersAChoice, C::FullAccess, C::MicrostepLockLevelReached}},
        {.name = "ConfigRadioGrp",
         .index = 3,
         .preconditions = {C::CommModeFieldPresent},
         .operands = {C::MotorTypeIsNot1, C::FullAccess, C::MotorTypeIsNot6, C::MotorTypeIsNot5, C::CommModeEditable}},
        {.name = "ConfigRadioGrp", .operands = {C::FullAccess}},
        {.name = "SensorlessRadioGrp", .operands = {C::MotorTypeHasSensorChoice, C::FullAccess, C::CommModeEditable}},
        // Any other input control.
        {.operands = {C::PanelEnabled}},
    };
    return rules;
}

std::span<const MotorForm::Impl::EnableRule> MotorForm::Impl::OtherControlRules() {
    // The sensor state display, which reports what it decided to the trace.
    constexpr auto sensorDisplay = [](std::string_view name) {
        return EnableRule{.name = name,
                          .preconditions = {C::MotorCfgPresent},
                          .operands = {C::UsesSensors, C::FullAccess},
                          .traceResult = true};
    };
    constexpr auto sensorReadout = [](std::string_view name) {
        return EnableRule{.name = name,
                          .preconditions = {C::MotorCfgPresent},
                          .operands = {C::CommModeShowsSensorState, C::PanelEnabled}};
    };
    static constexpr EnableRule rules[]{
        {.name = "CommSensorFrame", .operands = {C::FullAccess}},
        {.name = "MotorNamePlateFrame", .operands = {C::FullAccess}},
        {.name = "OverloadFrame", .operands = {C::FullAccess}},
        {.name = "JamFrame", .operands = {C::FullAccess}},
        {.name = "EncoderFrame", .operands = {C::FullAccess}},
        {.name = "StepperFrame", .operands = {C::FullAccess}},
        {.name = "MotorFrame", .operands = {C::TuningOrFullAccess}},
        {.name = "trqLoopTuneFrame", .operands = {C::TuningAccess}},
        {.name = "CommOptionLbl",
         .operands = {C::FullAccess},
         .visibility = EnableVisibility::WhenCommModeNotSelectable},
        sensorDisplay("HallNumberFrame"),
        sensorDisplay("AngleLbl"),
        sensorDisplay("transLbl"),
        sensorDisplay("HallLbl"),
        sensorReadout("CommutationLbl"),
        sensorReadout("BitDisplayLbl"),
        // Any other control (the edge lines) is left as it is.
        {.decides = false},
    };
    return rules;
}

template <std::int32_t Code>
bool MotorForm::Impl::MotorTypeIsNot(Impl& form, const Access&, Control&) {
    return form.m_fldMotorType->Value() != Code;
}

// One operand, read afresh; a failing read raises.
bool MotorForm::Impl::Holds(EnableCondition condition, const Access& access, Control& control) {
    using Check = bool (*)(Impl&, const Access&, Control&);
    static constexpr std::array<ConditionRow<Check>, kEnableConditionCount> checks{{
        {C::CommModeFieldPresent, [](Impl& f, const Access&, Control&) { return !f.m_fldCommMode.IsNothing(); }},
        {C::MotorTypeFieldPresent, [](Impl& f, const Access&, Control&) { return !f.m_fldMotorType.IsNothing(); }},
        {C::NodePresent, [](Impl& f, const Access&, Control&) { return !f.m_node.IsNothing(); }},
        {C::MicrostepParamPresent, [](Impl& f, const Access&, Control&) { return !f.m_ustepsPerTurn.IsNothing(); }},
        {C::MotorCfgPresent, [](Impl& f, const Access&, Control&) { return !f.m_motorCfg.IsNothing(); }},
        {C::OffersAChoice, [](Impl&, const Access&, Control& c) { return AsList(c).ListCount() > 1; }},
        {C::FullAccess, [](Impl&, const Access& a, Control&) { return a.level3; }},
        {C::TuningAccess, [](Impl&, const Access& a, Control&) { return a.level1; }},
        {C::TuningOrFullAccess, [](Impl&, const Access& a, Control&) { return a.level3 || a.level1; }},
        {C::PanelEnabled, [](Impl& f, const Access&, Control&) { return f.m_enabled; }},
        {C::CommModeEditable, [](Impl& f, const Access&, Control&) { return f.m_fldCommMode->Editable(); }},
        {C::MotorTypeEditable, [](Impl& f, const Access&, Control&) { return f.m_fldMotorType->Editable(); }},
        {C::CommModeSelectable, [](Impl& f, const Access&, Control&) { return f.m_net->CommModeSelectable(); }},
        {C::MicrostepLockLevelReached,
         [](Impl& f, const Access&, Control&) { return f.AccessLevel() >= f.m_ustepsPerTurn->LockLevel().Level(); }},
        {C::MotorTypeIsNot1, &MotorTypeIsNot<1>},
        {C::MotorTypeIsNot6, &MotorTypeIsNot<kMotorTypeWithoutSensorChoice>},
        {C::MotorTypeIsNot5, &MotorTypeIsNot<5>},
        {C::MotorTypeHasSensorChoice, &MotorTypeIsNot<kMotorTypeWithoutSensorChoice>},
        {C::UsesSensors, [](Impl& f, const Access&, Control&) { return f.m_fldSensorless->Value() == 0; }},
        {C::CommModeShowsSensorState,
         [](Impl& f, const Access&, Control&) { return f.m_fldCommMode->Value() != kCommModeWithoutSensorState; }},
    }};
    static_assert(InConditionOrder(checks));
    return checks[static_cast<std::size_t>(condition)].value(*this, access, control);
}

const std::vector<MotorForm::Impl::EnableStep>& MotorForm::Impl::EnablePlan() {
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
        EnableStep step{control, &*rule, false, nullptr};
        step.accessOnly = AccessNeeds(*rule, step.accessNeeds);
        m_enablePlan.push_back(step);
    }
    return m_enablePlan;
}

std::span<const EnableCondition> MotorForm::Impl::AccessConditions() {
    static constexpr EnableCondition conditions[]{C::FullAccess, C::TuningAccess, C::TuningOrFullAccess};
    return conditions;
}

bool MotorForm::Impl::AccessNeeds(const EnableRule& rule, std::uint8_t& needs) {
    if (!rule.decides || rule.preconditions.begin() != rule.preconditions.end() ||
        rule.visibility != EnableVisibility::Untouched || rule.traceResult) {
        return false;
    }
    const auto conditions = AccessConditions();
    for (const EnableCondition operand : rule.operands) {
        const auto found = std::find(conditions.begin(), conditions.end(), operand);
        if (found == conditions.end()) {
            return false;
        }
        needs |= static_cast<std::uint8_t>(1u << (found - conditions.begin()));
    }
    return true;
}

MotorForm::Impl::Access MotorForm::Impl::ReadAccess() {
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

void MotorForm::Impl::ApplyEnablePolicy(bool activating) {
    if (m_net.IsNothing()) {
        return;
    }
    const Access access = ReadAccess();
    SkipOnFailure([&] { TraceMsg("FormActivate activating = ", BoolText(activating)); });

    const auto& plan = EnablePlan();
    // The access conditions read the walk's one reading of the access, nothing of the control
    // they are asked for and nothing that can fail: read once, they decide every rule made of
    // them alone, most of the form's frames.
    std::uint8_t holding = 0;
    const auto conditions = AccessConditions();
    for (std::size_t i = 0; i < conditions.size() && !plan.empty(); ++i) {
        if (Holds(conditions[i], access, *plan.front().control)) {
            holding |= static_cast<std::uint8_t>(1u << i);
        }
    }
    for (const EnableStep& step : plan) {
        Control& control = *step.control;
        SkipOnFailure([&] { TraceMsg(control.Name(), " activating"); });
        if (step.isEditor) {
            ApplyEditorPolicy(step.editor, control);
        } else if (step.accessOnly) {
            SkipOnFailure([&] { control.SetEnabled((step.accessNeeds & ~holding) == 0); });
        } else {
            ApplyRule(*step.rule, access, control);
        }
    }
}

void MotorForm::Impl::ApplyRule(const EnableRule& rule, const Access& access, Control& control) {
    if (!rule.decides) {
        return;
    }
    const auto met = [&](EnableCondition condition) { return Holds(condition, access, control); };
    if (!std::all_of(rule.preconditions.begin(), rule.preconditions.end(), met)) {
        SkipOnFailure([&] { control.SetEnabled(false); });
        return;
    }
    std::optional<bool> computed;
    SkipOnFailure([&] {
        bool enabled = true;
        for (const EnableCondition operand : rule.operands) {
            enabled = met(operand) && enabled;
        }
        computed = enabled;
        control.SetEnabled(enabled);
    });
    if (rule.visibility != EnableVisibility::Untouched) {
        SkipOnFailure([&] {
            const bool selectable = met(EnableCondition::CommModeSelectable);
            control.SetVisible(selectable == (rule.visibility == EnableVisibility::WhenCommModeSelectable));
        });
    }
    if (rule.traceResult && computed) {
        SkipOnFailure([&] { TraceMsg(control.Name(), " just set Enabled=", BoolText(*computed)); });
    }
}

// An editor follows the panel's switch; a parameter whose lock level the user lacks only
// leaves the tab order.
void MotorForm::Impl::ApplyEditorPolicy(Tarvine* editor, Control& control) {
    if (m_node.IsNothing()) {
        SkipOnFailure([&] { control.SetEnabled(false); });
        SkipOnFailure([&] { control.SetTabStop(false); });
    }
    // Everything below depends on the editor's value object; a control of another kind in the
    // editors' place has none to read, so the rest is skipped for it alone.
    std::shared_ptr<ValueObject> value;
    if (!SkipOnFailure([&] { value = EditorValue(editor, control); })) {
        return;
    }
    if (!value) {
        SkipOnFailure([&] { control.SetEnabled(false); });
        SkipOnFailure([&] { control.SetTabStop(false); });
        return;
    }
    SkipOnFailure([&] { control.SetEnabled(m_enabled); });
    SkipOnFailure([&] {
        const bool levelAllows = AccessLevel() >= value->LockLevel().Level();
        control.SetTabStop(m_enabled && levelAllows);
    });
}

std::shared_ptr<ValueObject> MotorForm::Impl::EditorValue(Tarvine* editor, const Control& control) {
    if (editor == nullptr) {
        ThrowUnknownProperty(control.TypeName(), "ValueObjRef");
    }
    return editor->ValueObjRef();
}

std::int32_t MotorForm::Impl::AccessLevel() {
    return Ref(m_node->AccessLock())->Level();
}

void MotorForm::Impl::SetEnabled(bool newState) {
    m_enabled = newState;
    ApplyEnablePolicy(newState);
}

void MotorForm::Impl::m_appLock_Changed() {
    UpdateMotorTypeAccess();
    ApplyEnablePolicy(m_enabled);
}

void MotorForm::Impl::UserControl_Show() {
    ApplyEnablePolicy(m_enabled);
}

void MotorForm::Impl::UserControl_Hide() {
    ApplyEnablePolicy(m_enabled);
}

}  // namespace vor
