// Application events and the deferred refresh: value-change handlers only set a request flag,
// and the host's timer tick serves every pending request once.
#include "vormotor/panel/MotorFormImpl.h"

namespace vor {

void MotorForm::Impl::RequestCommModeList() {
    m_commModeListDue = true;
}

void MotorForm::Impl::RequestMicrostepList() {
    m_microstepListDue = true;
}

void MotorForm::Impl::m_fldCommMode_UpdateView() {
    RequestCommModeList();
}

void MotorForm::Impl::m_fldEncMode_UpdateView() {
    RequestMicrostepList();
}

void MotorForm::Impl::m_qsAppEvts_MotorPageEnableChanged() {
    UpdateMotorTypeAccess();
    ApplyEnablePolicy(m_enabled);
}

void MotorForm::Impl::m_qsAppEvts_TechSupportChanged() {
    UpdateMotorTypeAccess();
    ApplyEnablePolicy(m_enabled);
}

void MotorForm::Impl::m_qsAppEvts_TimerTick() {
    if (m_node.IsNothing() || !m_node->IsOnline()) {
        return;
    }
    m_iop = Ref(m_node->IoObj())->InputsValue();
    // Each flag is cleared only once its refresh has returned, so a request raised during the
    // refresh is absorbed by it. A failing sensor display ends the tick with its request, and
    // those after it, still pending, so it is tried again on the next tick; the list rebuilds end
    // their own failures, so their requests are cleared and wait for the next change.
    if (m_commDisplayDue) {
        if (m_vectAngleCap) {
            m_vectAngleCap->Refresh();
        }
        ShowCommState();
        m_commDisplayDue = false;
    }
    if (m_commModeListDue) {
        RefreshCommModeList();
        m_commModeListDue = false;
    }
    if (m_microstepListDue) {
        RefreshMicrostepList();
        m_microstepListDue = false;
    }
}

}  // namespace vor
