#pragma once

#include <cstdint>

// Numbers the motor panel shares across its parts: drive parameters, strings of the component's
// string table, and the access levels and codes its rules compare with.
namespace vor::motor_form {

// Drive parameters.
inline constexpr std::int32_t kKe = 41;
inline constexpr std::int32_t kIMax = 40;
inline constexpr std::int32_t kRmsTimeConstant = 25;
inline constexpr std::int32_t kRmsLimit = 24;
inline constexpr std::int32_t kMotorConfiguration = 170;
inline constexpr std::int32_t kMicrostepsPerTurn = 204;
inline constexpr std::int32_t kEncoderDensity = 18;
inline constexpr std::int32_t kVectorAngleCapture = 44;
inline constexpr std::int32_t kVectorAngleCaptureAlternative = 33;

// Strings.
inline constexpr std::int32_t kNotAvailableText = 4192;
inline constexpr std::int32_t kSafetyTitle = 4073;
inline constexpr std::int32_t kSafetyPrompt = 4082;
inline constexpr std::int32_t kTorqueLoopCaption = 6122;

// Access levels: full editing, and the torque-loop tuning that level 1 already allows.
inline constexpr std::int32_t kFullAccess = 3;
inline constexpr std::int32_t kTuningAccess = 1;

// "Commutation Mode" codes from this one on start without sensors.
inline constexpr std::int32_t kFirstSensorlessCode = 5;

}  // namespace vor::motor_form
