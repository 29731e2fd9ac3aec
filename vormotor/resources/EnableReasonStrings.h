#pragma once

#include <cstdint>

#include "vormotor/toolkit/StringTable.h"

// The wording of why a control cannot be operated: numbers 6400 to 6449 of the component's
// string table. "%1", "%2" and "%3" stand for the values the panel fills in.
namespace vor::enable_reason_strings {

inline constexpr std::int32_t kPanelDisabled = 6400;
inline constexpr std::int32_t kNoDrive = 6401;
inline constexpr std::int32_t kNotAttached = 6402;
inline constexpr std::int32_t kAccessLevel = 6403;         // %1 needed, %2 current
inline constexpr std::int32_t kAccessLevelUnknown = 6404;  // %1 needed
inline constexpr std::int32_t kMissingParameter = 6405;    // %1 parameter
inline constexpr std::int32_t kParameterUnread = 6406;     // %1 parameter
inline constexpr std::int32_t kNoMotorTypes = 6407;
inline constexpr std::int32_t kOneMotorType = 6408;
inline constexpr std::int32_t kNoCommOptions = 6409;
inline constexpr std::int32_t kOneCommOption = 6410;
inline constexpr std::int32_t kNoMicrosteps = 6411;
inline constexpr std::int32_t kOneMicrostep = 6412;
inline constexpr std::int32_t kCommModeLocked = 6413;
inline constexpr std::int32_t kMotorTypeLocked = 6414;
inline constexpr std::int32_t kCommModeAsText = 6415;
inline constexpr std::int32_t kParameterLockLevel = 6416;  // %1 parameter, %2 lock level, %3 access level
inline constexpr std::int32_t kNoCommInvert = 6417;        // %1 motor type
inline constexpr std::int32_t kNoSensorChoice = 6418;      // %1 motor type
inline constexpr std::int32_t kSensorlessStart = 6419;
inline constexpr std::int32_t kNoSensorState = 6420;      // %1 commutation mode
inline constexpr std::int32_t kFrameDisabled = 6421;      // %1 frame caption, %2 its reason
inline constexpr std::int32_t kContainerDisabled = 6422;  // %1 its reason
inline constexpr std::int32_t kNotRechecked = 6423;
inline constexpr std::int32_t kNotReadable = 6424;

// Adds the wording to the component's table.
void AddEnableReasonStrings(StringTable& table);

}  // namespace vor::enable_reason_strings
