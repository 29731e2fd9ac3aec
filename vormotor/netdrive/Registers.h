#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vor::netdrive {

// Numbers, flags and texts in 16-bit registers, as docs/link.md lays them out.
using Registers = std::vector<std::uint16_t>;

void PutInt32(std::uint16_t* at, std::int32_t value);
std::int32_t GetInt32(const std::uint16_t* at);
void PutDouble(std::uint16_t* at, double value);
double GetDouble(const std::uint16_t* at);
// Flags 16 to a register, the first in the least significant bit.
void PutFlags(std::uint16_t* at, const std::vector<bool>& flags);
std::vector<bool> GetFlags(const std::uint16_t* at, std::size_t count);
std::size_t FlagRegisters(std::size_t count);
// A text: its byte length in two registers, then its bytes, two a register. Returns the number
// of registers written; a text longer than `maxRegisters` allow is refused.
std::size_t PutText(std::uint16_t* at, const std::string& text, std::size_t maxRegisters);
// The number of registers the text at `at` takes, length included.
std::size_t TextRegisters(const std::uint16_t* lengthAt);
// The text at the start of `area`; throws std::length_error when its length runs past the area.
std::string GetText(const Registers& area);

}  // namespace vor::netdrive
