#pragma once

#include <cstdint>

namespace vor {

// What the commutation display makes of the drive's raw numbers. A host that shows the same
// values elsewhere (a plot beside the panel) reads them through these, so that both agree.

// The captured vector angle as the display shows it: whole degrees, the remainder of a full turn
// with the sign of the angle (-359 to 359).
std::int32_t ShownVectorAngle(double captured);

// The commutation sensor code in the I/O input word (bits 7 to 9).
std::int32_t SensorCodeOf(double inputWord);

}  // namespace vor
