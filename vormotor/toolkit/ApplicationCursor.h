#pragma once

#include <cstdint>

#include "vormotor/core/Event.h"

namespace vor {

// The application-wide mouse cursor, one per process. Values are the platform's cursor numbers.
class ApplicationCursor {
public:
    static constexpr std::int16_t Default = 0;
    static constexpr std::int16_t Hourglass = 11;

    static ApplicationCursor& Instance();

    std::int16_t Get() const noexcept { return m_cursor; }
    // Every call counts as a change of the cursor, even to the value it already has.
    void Set(std::int16_t cursor);
    std::int32_t SetCount() const noexcept { return m_setCount; }

    EventSource<std::int16_t>& Changed() noexcept { return m_changed; }

private:
    ApplicationCursor() = default;

    std::int16_t m_cursor = Default;
    std::int32_t m_setCount = 0;
    Event<std::int16_t> m_changed;
};

}  // namespace vor
