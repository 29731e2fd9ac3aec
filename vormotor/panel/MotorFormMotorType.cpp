// The motor type list: filled from the node's catalogue, following the "Motor Type" field, and
// writing a pick back with the safety question while the drive is enabled.
#include "vormotor/core/Conversions.h"
#include "vormotor/core/FailureStyles.h"
#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/panel/MotorFormImpl.h"
#include "vormotor/resources/ComponentResources.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/ModalMessageBox.h"

namespace vor {
namespace {

using namespace motor_form;

// The node state in which the drive may be reconfigured without asking.
constexpr std::int32_t kConfigurableNodeState = 7;

}  // namespace

const std::string& MotorForm::Impl::LoadString(std::int32_t id) const {
    return ComponentStrings().Text(id);
}

const std::string& MotorForm::Impl::NotAvailableText() {
    // The resources never change: read once, not looked up again at every tick.
    static const std::string& text = ComponentStrings().Text(kNotAvailableText);
    return text;
}

void MotorForm::Impl::FillMotorTypeList() {
    auto& combo = m_controls.motorStyleCombo;
    combo.Clear();
    for (const auto& entry : m_node->MotorTypes()) {
        if (entry->Visible()) {
            combo.AddItem(entry->Name());
            combo.SetItemData(combo.ListCount() - 1, entry->Code());
        }
    }
}

void MotorForm::Impl::ShowMotorType() {
    ScopedFlag guard(m_updating, true);
    auto& combo = m_controls.motorStyleCombo;
    if (m_fldMotorType.IsNothing()) {
        combo.Clear();
        combo.AddItem(NotAvailableText());
        combo.SetListIndex(0);
        combo.SetEnabled(false);
        return;
    }
    m_fldMotorType->Refresh();
    combo.SetListIndex(-1);
    for (std::int32_t i = 0; i < combo.ListCount(); ++i) {
        if (combo.ItemData(i) == m_fldMotorType->Value()) {
            combo.SetListIndex(i);
            return;
        }
    }
    // A code the list does not offer is still shown, and cannot be picked again.
    const std::int32_t code = m_fldMotorType->Value();
    const std::int32_t added = combo.AddItem(NotAvailableText() + " " + DecimalText(code));
    combo.SetItemData(added, code);
    combo.SetListIndex(added);
    combo.SetEnabled(false);
}

void MotorForm::Impl::RefreshMotorTypeViews() {
    ScopedFlag guard(m_updating, true);
    ShowMotorType();
    ShowTorqueLoopCaption();
    ShowMotorTypeFrames();
}

void MotorForm::Impl::MotorStyleCombo_Click() {
    if (m_updating || m_node.IsNothing() || m_fldMotorType.IsNothing()) {
        return;
    }
    bool wasEnabled = false;
    bool driveTouched = false;
    try {
        // Both are read before anything is written, so a failing read of either writes nothing.
        wasEnabled = m_node->DriveEnabled();
        const std::int32_t nodeState = m_node->NodeState();
        const bool ask = wasEnabled && nodeState != kConfigurableNodeState;
        // With nothing selected there is nothing to write: the click ends before the question.
        const auto& combo = m_controls.motorStyleCombo;
        const std::int32_t picked = combo.ItemData(combo.ListIndex());
        if (ask) {
            const MessageBoxResult answer = ModalMessageBox::Show({LoadString(kSafetyPrompt), LoadString(kSafetyTitle),
                                                                   MessageBoxButtons::OkCancel, MessageBoxResult::Ok},
                                                                  m_messageResponder);
            if (answer != MessageBoxResult::Ok) {
                ShowMotorType();
                return;
            }
            driveTouched = true;
            m_node->SetDriveEnabled(false);
        }
        driveTouched = true;
        m_fldMotorType->SetValue(picked);
        m_node->SetDriveEnabled(wasEnabled);
    } catch (...) {
        // Whatever failed, the drive must end up enabled exactly as it was, and the list must show
        // what the drive really holds.
        if (driveTouched) {
            SkipOnFailure([&] { m_node->SetDriveEnabled(wasEnabled); });
        }
        SkipOnFailure([&] { ShowMotorType(); });
        throw;
    }
}

void MotorForm::Impl::UpdateMotorTypeAccess() {
    if (m_net.IsNothing()) {
        return;
    }
    const auto lock = m_net->AccessLock();
    if (!lock) {
        return;
    }
    // Both operands are read, as the access rules always do.
    const bool levelAllows = lock->Level() >= kFullAccess;
    const bool techSupport = Ref(m_net->AppEvents())->TechSupport();
    m_controls.motorStyleCombo.SetEnabled((levelAllows || techSupport) && m_enabled);
    ShowRmsTimeCaption();
}

void MotorForm::Impl::m_fldMotorType_UpdateView() {
    RefreshMotorTypeViews();
}

}  // namespace vor
