#pragma once

#include <cstdint>

#include "vormotor/core/Event.h"

namespace vor {

// The application's access lock; higher levels grant more.
class AppLock {
public:
    virtual ~AppLock() = default;

    virtual std::int32_t Level() = 0;
    virtual EventSource<>& Changed() = 0;
};

}  // namespace vor
