#include "vormotor/ui_util/MousePointerStack.h"

#include <vector>

#include "vormotor/toolkit/ApplicationCursor.h"

namespace vor {
namespace {

struct Stack {
    std::int16_t depth = 0;
    // Indexed by depth; slot 0 is never used.
    std::vector<std::int16_t> saved;
};

Stack& TheStack() {
    static Stack stack;
    return stack;
}

}  // namespace

void PushMousePointer(std::int16_t pointer) {
    auto& stack = TheStack();
    auto& cursor = ApplicationCursor::Instance();
    ++stack.depth;
    stack.saved.resize(static_cast<std::size_t>(stack.depth) + 1);
    stack.saved[static_cast<std::size_t>(stack.depth)] = cursor.Get();
    if (cursor.Get() != pointer) {
        cursor.Set(pointer);
    }
}

void PopMousePointer() {
    auto& stack = TheStack();
    if (stack.depth < 1) {
        return;
    }
    auto& cursor = ApplicationCursor::Instance();
    const std::int16_t saved = stack.saved[static_cast<std::size_t>(stack.depth)];
    if (cursor.Get() != saved) {
        cursor.Set(saved);
    }
    --stack.depth;
}

std::int16_t MousePointerDepth() {
    return TheStack().depth;
}

}  // namespace vor
