#pragma once

#include <cstdint>

namespace vor::colors {

// Colours are stored as 0x00BBGGRR; with the high bit set the low byte names a system colour.
inline constexpr std::uint32_t SystemFlag = 0x80000000u;
inline constexpr std::uint32_t WindowText = 0x80000008u;
inline constexpr std::uint32_t ButtonFace = 0x8000000Fu;
inline constexpr std::uint32_t ButtonText = 0x80000012u;
inline constexpr std::uint32_t Black = 0x000000u;

constexpr bool IsSystemColor(std::uint32_t color) {
    return (color & SystemFlag) != 0;
}

constexpr std::uint32_t Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 8) |
           (static_cast<std::uint32_t>(blue) << 16);
}

}  // namespace vor::colors
