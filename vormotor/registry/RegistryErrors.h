#pragma once

#include <cstdint>

#include "vormotor/core/Error.h"

// Error numbers raised by CRegistry and its text image, all in the component's range.
namespace vor::registry_error {
inline constexpr std::int32_t OperationFailed = error_number::ComponentBase + 2;
inline constexpr std::int32_t ImageTooShort = error_number::ComponentBase + 3;
inline constexpr std::int32_t SignatureMissing = error_number::ComponentBase + 4;
inline constexpr std::int32_t NoEqualSign = error_number::ComponentBase + 5;
inline constexpr std::int32_t BadSection = error_number::ComponentBase + 6;
inline constexpr std::int32_t BadValue = error_number::ComponentBase + 7;
inline constexpr std::int32_t BadLineEnd = error_number::ComponentBase + 8;
inline constexpr std::int32_t LineTooLong = error_number::ComponentBase + 9;
inline constexpr std::int32_t NulCharacter = error_number::ComponentBase + 10;
inline constexpr std::int32_t TooDeep = error_number::ComponentBase + 11;
inline constexpr std::int32_t NotInCodePage = error_number::ComponentBase + 12;
inline constexpr std::int32_t SectionsFailed = error_number::ComponentBase + 27050;
}  // namespace vor::registry_error
