#pragma once

#include <cstdint>

#include "vormotor/core/Event.h"

namespace vor::qt {

// Shows the application cursor of the control tree as Qt's override cursor for as long as it
// lives: the default cursor (0) is no override, the hourglass (11) is Qt's wait cursor.
class QtCursor {
public:
    QtCursor();
    ~QtCursor();
    QtCursor(const QtCursor&) = delete;
    QtCursor& operator=(const QtCursor&) = delete;

private:
    void Show(std::int16_t cursor);

    bool m_overriding = false;
    Connection m_changed;
};

}  // namespace vor::qt

// The names above as hosts know them, in vor.
namespace vor {
using qt::QtCursor;
}  // namespace vor
