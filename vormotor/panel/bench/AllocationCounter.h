#pragma once

#include <cstdint>
#include <string>

namespace vor::bench {

// Heap allocations this program has made so far: the benchmark program replaces the global
// operator new, so every allocation of the code under test is counted.
std::uint64_t AllocationCount() noexcept;

// A run whose loop allocated although it must not: the program fails after printing the figures.
void NoteAllocatingRun(const std::string& run);

}  // namespace vor::bench
