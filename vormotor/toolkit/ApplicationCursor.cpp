#include "vormotor/toolkit/ApplicationCursor.h"

namespace vor {

ApplicationCursor& ApplicationCursor::Instance() {
    static ApplicationCursor cursor;
    return cursor;
}

void ApplicationCursor::Set(std::int16_t cursor) {
    m_cursor = cursor;
    ++m_setCount;
    m_changed.Raise(cursor);
}

}  // namespace vor
