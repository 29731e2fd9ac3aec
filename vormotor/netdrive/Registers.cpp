#include "vormotor/netdrive/Registers.h"

#include <bit>
#include <stdexcept>

namespace vor::netdrive {

void PutInt32(std::uint16_t* at, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    at[0] = static_cast<std::uint16_t>(bits >> 16);
    at[1] = static_cast<std::uint16_t>(bits & 0xFFFFu);
}

std::int32_t GetInt32(const std::uint16_t* at) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(at[0]) << 16) | at[1]);
}

void PutDouble(std::uint16_t* at, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint16_t>(bits >> (48 - 16 * i));
    }
}

double GetDouble(const std::uint16_t* at) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits = (bits << 16) | at[i];
    }
    return std::bit_cast<double>(bits);
}

std::size_t FlagRegisters(std::size_t count) {
    return (count + 15) / 16;
}

void PutFlags(std::uint16_t* at, const std::vector<bool>& flags) {
    for (std::size_t i = 0; i < FlagRegisters(flags.size()); ++i) {
        at[i] = 0;
    }
    for (std::size_t i = 0; i < flags.size(); ++i) {
        if (flags[i]) {
            at[i / 16] = static_cast<std::uint16_t>(at[i / 16] | (1u << (i % 16)));
        }
    }
}

std::vector<bool> GetFlags(const std::uint16_t* at, std::size_t count) {
    std::vector<bool> flags(count);
    for (std::size_t i = 0; i < count; ++i) {
        flags[i] = ((at[i / 16] >> (i % 16)) & 1u) != 0;
    }
    return flags;
}

std::size_t PutText(std::uint16_t* at, const std::string& text, std::size_t maxRegisters) {
    const std::size_t registers = 2 + (text.size() + 1) / 2;
    if (registers > maxRegisters) {
        throw std::length_error("a text of " + std::to_string(text.size()) + " bytes does not fit its register area");
    }
    PutInt32(at, static_cast<std::int32_t>(text.size()));
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const auto high = static_cast<unsigned char>(text[i]);
        const auto low = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        at[2 + i / 2] = static_cast<std::uint16_t>((high << 8) | low);
    }
    return registers;
}

std::size_t TextRegisters(const std::uint16_t* lengthAt) {
    // Counted in 64 bits: a length near 2^32 must not wrap to a short text.
    return 2 + (static_cast<std::size_t>(static_cast<std::uint32_t>(GetInt32(lengthAt))) + 1) / 2;
}

std::string GetText(const Registers& area) {
    if (area.size() < 2 || TextRegisters(area.data()) > area.size()) {
        throw std::length_error("a text longer than the registers that hold it");
    }
    const auto size = static_cast<std::uint32_t>(GetInt32(area.data()));
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint16_t word = area[2 + i / 2];
        text[i] = static_cast<char>(i % 2 == 0 ? word >> 8 : word & 0xFFu);
    }
    return text;
}

}  // namespace vor::netdrive
