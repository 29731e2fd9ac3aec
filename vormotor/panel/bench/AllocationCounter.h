#pragma once

#include <cstdint>

namespace vor::bench {

// Heap allocations this program has made so far: the benchmark program replaces the global
// operator new, so every allocation of the code under test is counted.
std::uint64_t AllocationCount() noexcept;

}  // namespace vor::bench
