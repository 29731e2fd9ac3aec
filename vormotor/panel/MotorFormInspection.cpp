#include "vormotor/panel/MotorFormInspection.h"

#include "vormotor/panel/MotorFormImpl.h"

namespace vor {

MotorFormInspection::State MotorFormInspection::StateOf(const MotorForm& panel) noexcept {
    const MotorForm::Impl& impl = *panel.m_impl;
    return State{impl.m_updating, impl.m_commDisplayDue, impl.m_commModeListDue, impl.m_microstepListDue};
}

const std::string& MotorFormInspection::RegistryName() {
    return MotorForm::Impl::RegistryName();
}

const std::string& MotorFormInspection::RegistrySection() {
    return MotorForm::Impl::RegistrySection();
}

}  // namespace vor
