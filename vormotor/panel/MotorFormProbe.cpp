#include "vormotor/panel/MotorFormProbe.h"

#include "vormotor/panel/MotorFormImpl.h"

namespace vor {

MotorFormProbe::State MotorFormProbe::StateOf(const MotorForm& panel) noexcept {
    const MotorForm::Impl& impl = *panel.m_impl;
    return State{impl.m_updating, impl.m_commDisplayDue, impl.m_commModeListDue, impl.m_microstepListDue};
}

const std::string& MotorFormProbe::RegistryName() {
    return MotorForm::Impl::RegistryName();
}

const std::string& MotorFormProbe::RegistrySection() {
    return MotorForm::Impl::RegistrySection();
}

}  // namespace vor
