#pragma once

#include <cstdint>

namespace vor {

// The component-wide busy-cursor stack, shared by every panel of the process: each push saves
// the application cursor and shows the given one, each pop puts back what its push saved.
// The user-interface thread is the only caller.
void PushMousePointer(std::int16_t pointer);
// Without an open push it does nothing.
void PopMousePointer();
std::int16_t MousePointerDepth();

}  // namespace vor
