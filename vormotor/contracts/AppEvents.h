#pragma once

#include "vormotor/core/Event.h"

namespace vor {

// The host application's event source.
class AppEvents {
public:
    virtual ~AppEvents() = default;

    virtual bool TechSupport() = 0;

    virtual EventSource<bool>& MotorPageEnableChanged() = 0;
    virtual EventSource<bool>& TechSupportChanged() = 0;
    // The host's periodic timer.
    virtual EventSource<>& TimerTick() = 0;
};

}  // namespace vor
