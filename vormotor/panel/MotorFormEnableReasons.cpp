// "Why can't I change this?": the reasons against operating a control, computed only when asked,
// so that the walk itself stays as cheap as it was.
#include "vormotor/panel/MotorFormEnableReasons.h"

#include <algorithm>
#include <array>
#include <optional>

#include "vormotor/contracts/Tarvine.h"
#include "vormotor/core/Conversions.h"
#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/panel/MotorFormEnableRules.h"
#include "vormotor/resources/EnableReasonStrings.h"
#include "vormotor/toolkit/CaptionedControl.h"
#include "vormotor/toolkit/ComboBox.h"

namespace vor {
namespace {

using namespace motor_form;
using namespace enable_reason_strings;
using C = EnableCondition;

// Puts the values in place of "%1", "%2", ... in the order given.
std::string FillIn(std::string text, std::initializer_list<std::string_view> values) {
    std::size_t number = 1;
    for (const std::string_view value : values) {
        const std::string marker = "%" + std::to_string(number++);
        if (const auto at = text.find(marker); at != std::string::npos) {
            text.replace(at, marker.size(), value);
        }
    }
    return text;
}

void AddOnce(std::vector<EnableReason>& reasons, EnableReason reason) {
    if (std::find(reasons.begin(), reasons.end(), reason) == reasons.end()) {
        reasons.push_back(std::move(reason));
    }
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The wording for a list with no item and with one item.
struct ListWording {
    std::string_view list;
    std::int32_t none;
    std::int32_t one;
};
constexpr ListWording kListWordings[]{
    {"MotorStyleCombo", kNoMotorTypes, kOneMotorType},
    {"CommModeCombo", kNoCommOptions, kOneCommOption},
    {"MicrostepCombo", kNoMicrosteps, kOneMicrostep},
};

}  // namespace

std::vector<EnableReason> MotorForm::EnableReasons(Control& control) {
    return MotorFormEnableReasons(*m_impl).For(control);
}

std::vector<EnableReason> MotorFormEnableReasons::For(Control& control) {
    // Without a network the walk decides nothing: the controls keep their earlier states.
    if (m_panel.m_net.IsNothing()) {
        return control.EffectiveEnabled() ? Reasons{} : Reasons{Reason(kNotAttached)};
    }
    bool unreadable = false;
    Reasons reasons = OwnReasons(control, unreadable);
    // A disabled frame makes everything inside inoperable; what its rule says is only added when
    // the control's own rule has not said it already.
    std::vector<std::string> said;
    for (const EnableReason& reason : reasons) {
        said.push_back(reason.text);
    }
    for (Control* container = control.Container(); container != nullptr; container = container->Container()) {
        const auto* captioned = dynamic_cast<const CaptionedControl*>(container);
        const std::string caption = captioned != nullptr ? Trimmed(captioned->Caption()) : std::string();
        for (const EnableReason& reason : OwnReasons(*container, unreadable)) {
            if (std::find(said.begin(), said.end(), reason.text) != said.end()) {
                continue;
            }
            said.push_back(reason.text);
            reasons.push_back(caption.empty() ? Reason(kContainerDisabled, {reason.text})
                                              : Reason(kFrameDisabled, {caption, reason.text}));
        }
    }
    // The rules find nothing against a control that is disabled all the same: something since
    // the last walk changed what they read, or the walk could not read it.
    if (reasons.empty() && !control.EffectiveEnabled()) {
        reasons.push_back(Reason(unreadable ? kNotReadable : kNotRechecked));
    }
    return reasons;
}

std::vector<EnableReason> MotorFormEnableReasons::OwnReasons(Control& control, bool& unreadable) {
    const auto& plan = m_panel.EnablePlan();
    const auto step =
        std::find_if(plan.begin(), plan.end(), [&](const auto& candidate) { return candidate.control == &control; });
    if (step == plan.end()) {
        return {};
    }
    if (step->isEditor) {
        return EditorReasons(step->editor);
    }
    const MotorForm::Impl::EnableRule& rule = *step->rule;
    const MotorForm::Impl::Access access = m_panel.ReadAccess();
    Reasons reasons;
    for (const EnableCondition precondition : rule.preconditions) {
        if (!m_panel.Holds(precondition, access, control)) {
            AddConditionReasons(precondition, control, reasons);
        }
    }
    if (!reasons.empty()) {
        return reasons;
    }
    for (const EnableCondition operand : rule.operands) {
        std::optional<bool> holds;
        try {
            holds = m_panel.Holds(operand, access, control);
        } catch (...) {
            unreadable = true;
        }
        if (holds == false) {
            AddConditionReasons(operand, control, reasons);
        }
    }
    return reasons;
}

// An editor is disabled only when it is not bound to its parameter, or with the whole panel.
std::vector<EnableReason> MotorFormEnableReasons::EditorReasons(Tarvine* editor) {
    Reasons reasons;
    if (editor == nullptr) {
        return reasons;
    }
    if (!editor->ValueObjRef()) {
        if (m_panel.m_node.IsNothing()) {
            reasons.push_back(Reason(kNoDrive));
        } else if (const auto number = editor->Parameter()) {
            MissingParameter(*number, reasons);
        }
        return reasons;
    }
    if (!m_panel.m_enabled) {
        reasons.push_back(Reason(kPanelDisabled));
    }
    return reasons;
}

void MotorFormEnableReasons::AddConditionReasons(EnableCondition condition, Control& control, Reasons& reasons) {
    using Explain = void (MotorFormEnableReasons::*)(Control&, Reasons&);
    static constexpr std::array<ConditionRow<Explain>, kEnableConditionCount> explanations{{
        {C::CommModeFieldPresent, &MotorFormEnableReasons::MissingMotorConfiguration},
        {C::MotorTypeFieldPresent, &MotorFormEnableReasons::MissingMotorConfiguration},
        {C::NodePresent, &MotorFormEnableReasons::MissingNode},
        {C::MicrostepParamPresent, &MotorFormEnableReasons::MissingMicrostepParameter},
        {C::MotorCfgPresent, &MotorFormEnableReasons::MissingMotorConfiguration},
        {C::OffersAChoice, &MotorFormEnableReasons::NoChoice},
        {C::FullAccess, &MotorFormEnableReasons::NoFullAccess},
        {C::TuningAccess, &MotorFormEnableReasons::NoTuningAccess},
        {C::TuningOrFullAccess, &MotorFormEnableReasons::NoTuningAccess},
        {C::PanelEnabled, &MotorFormEnableReasons::PanelDisabled},
        {C::CommModeEditable, &MotorFormEnableReasons::CommModeLocked},
        {C::MotorTypeEditable, &MotorFormEnableReasons::MotorTypeLocked},
        {C::CommModeSelectable, &MotorFormEnableReasons::CommModeAsText},
        {C::MicrostepLockLevelReached, &MotorFormEnableReasons::MicrostepLockLevel},
        {C::MotorTypeIsNot1, &MotorFormEnableReasons::NoCommInvert},
        {C::MotorTypeIsNot6, &MotorFormEnableReasons::NoCommInvert},
        {C::MotorTypeIsNot5, &MotorFormEnableReasons::NoCommInvert},
        {C::MotorTypeHasSensorChoice, &MotorFormEnableReasons::NoSensorChoice},
        {C::UsesSensors, &MotorFormEnableReasons::SensorlessStart},
        {C::CommModeShowsSensorState, &MotorFormEnableReasons::NoSensorState},
    }};
    static_assert(InConditionOrder(explanations));
    Reasons found;
    try {
        (this->*explanations[static_cast<std::size_t>(condition)].value)(control, found);
    } catch (...) {
        found = {Reason(kNotReadable)};
    }
    for (EnableReason& reason : found) {
        AddOnce(reasons, std::move(reason));
    }
}

void MotorFormEnableReasons::MissingMotorConfiguration(Control&, Reasons& reasons) {
    MissingParameter(kMotorConfiguration, reasons);
}

void MotorFormEnableReasons::MissingNode(Control&, Reasons& reasons) {
    reasons.push_back(Reason(kNoDrive));
}

void MotorFormEnableReasons::MissingMicrostepParameter(Control&, Reasons& reasons) {
    MissingParameter(kMicrostepsPerTurn, reasons);
}

void MotorFormEnableReasons::NoChoice(Control& control, Reasons& reasons) {
    const std::int32_t count = dynamic_cast<ComboBox&>(control).ListCount();
    for (const ListWording& wording : kListWordings) {
        if (wording.list == control.Name()) {
            reasons.push_back(Reason(count == 0 ? wording.none : wording.one));
        }
    }
}

void MotorFormEnableReasons::NoFullAccess(Control&, Reasons& reasons) {
    AccessReasons(kFullAccess, reasons);
}

void MotorFormEnableReasons::NoTuningAccess(Control&, Reasons& reasons) {
    AccessReasons(kTuningAccess, reasons);
}

void MotorFormEnableReasons::PanelDisabled(Control&, Reasons& reasons) {
    reasons.push_back(Reason(kPanelDisabled));
}

void MotorFormEnableReasons::CommModeLocked(Control&, Reasons& reasons) {
    reasons.push_back(Reason(kCommModeLocked));
}

void MotorFormEnableReasons::MotorTypeLocked(Control&, Reasons& reasons) {
    reasons.push_back(Reason(kMotorTypeLocked));
}

void MotorFormEnableReasons::CommModeAsText(Control&, Reasons& reasons) {
    reasons.push_back(Reason(kCommModeAsText));
}

void MotorFormEnableReasons::MicrostepLockLevel(Control&, Reasons& reasons) {
    const std::int32_t lockLevel = m_panel.m_ustepsPerTurn->LockLevel().Level();
    reasons.push_back(Reason(kParameterLockLevel, {DecimalText(kMicrostepsPerTurn), DecimalText(lockLevel),
                                                   DecimalText(m_panel.AccessLevel())}));
}

void MotorFormEnableReasons::NoCommInvert(Control&, Reasons& reasons) {
    reasons.push_back(Reason(kNoCommInvert, {MotorTypeName()}));
}

void MotorFormEnableReasons::NoSensorChoice(Control&, Reasons& reasons) {
    reasons.push_back(Reason(kNoSensorChoice, {MotorTypeName()}));
}

void MotorFormEnableReasons::SensorlessStart(Control&, Reasons& reasons) {
    reasons.push_back(Reason(kSensorlessStart));
}

void MotorFormEnableReasons::NoSensorState(Control&, Reasons& reasons) {
    reasons.push_back(Reason(kNoSensorState, {m_panel.m_fldCommMode->ValueText()}));
}

// The access conditions hold the panel's switch and the level together; each part that fails
// is a reason of its own.
void MotorFormEnableReasons::AccessReasons(std::int32_t needed, Reasons& reasons) {
    if (m_panel.m_node.IsNothing()) {
        reasons.push_back(Reason(kNoDrive));
        return;
    }
    if (!m_panel.m_enabled) {
        reasons.push_back(Reason(kPanelDisabled));
    }
    std::optional<std::int32_t> level;
    try {
        level = m_panel.AccessLevel();
    } catch (...) {
        reasons.push_back(Reason(kAccessLevelUnknown, {DecimalText(needed)}));
        return;
    }
    if (*level < needed) {
        reasons.push_back(Reason(kAccessLevel, {DecimalText(needed), DecimalText(*level)}));
    }
}

void MotorFormEnableReasons::MissingParameter(std::int32_t number, Reasons& reasons) {
    if (m_panel.m_node.IsNothing()) {
        reasons.push_back(Reason(kNoDrive));
        return;
    }
    // A drive that cannot say whether it has the parameter is taken to have it.
    bool present = true;
    try {
        present = m_panel.m_node->HasParam(number);
    } catch (...) {
        present = true;
    }
    reasons.push_back(Reason(present ? kParameterUnread : kMissingParameter, {DecimalText(number)}));
}

// The name the drive's catalogue gives the current motor type, as the motor type list shows it.
std::string MotorFormEnableReasons::MotorTypeName() {
    const std::int32_t code = m_panel.m_fldMotorType->Value();
    if (!m_panel.m_node.IsNothing()) {
        for (const auto& entry : m_panel.m_node->MotorTypes()) {
            if (entry->Code() == code) {
                return entry->Name();
            }
        }
    }
    return DecimalText(code);
}

EnableReason MotorFormEnableReasons::Reason(std::int32_t id, std::initializer_list<std::string_view> values) const {
    return EnableReason{id, FillIn(m_panel.LoadString(id), values)};
}

}  // namespace vor
