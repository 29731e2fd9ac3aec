// Refresh requests: handlers only set a flag, the next timer tick serves it once.
#include "panel/MotorForm.h"

namespace vor {

void MotorForm::RequestCommModeList() {
    m_commModeListDue = true;
}

void MotorForm::RequestMicrostepList() {
    m_microstepListDue = true;
}

void MotorForm::m_fldCommMode_UpdateView() {
    RequestCommModeList();
}

void MotorForm::m_fldEncMode_UpdateView() {
    RequestMicrostepList();
}

}  // namespace vor
