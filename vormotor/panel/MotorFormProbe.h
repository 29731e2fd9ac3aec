#pragma once

#include <string>

#include "vormotor/panel/MotorForm.h"

namespace vor {

// What the panel keeps to itself, for this repository's tests and for the hosts that print it
// (apps/host). Not installed: a host written to the panel's face has no use for it.
class MotorFormProbe {
public:
    // The update guard and the deferred-refresh requests.
    struct State {
        bool updating;
        bool commDisplayDue;
        bool commModeListDue;
        bool microstepListDue;
    };
    static State StateOf(const MotorForm& panel) noexcept;

    // The registry name and section of the last attach, kept once per component.
    static const std::string& RegistryName();
    static const std::string& RegistrySection();
};

}  // namespace vor
