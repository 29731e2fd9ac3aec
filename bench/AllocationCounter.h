#pragma once

#include <cstdint>

namespace vor::bench {

// Heap allocations made by this process so far (every global operator new counts).
std::uint64_t AllocationCount() noexcept;

}  // namespace vor::bench
