#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vor {

// The one error type of the project. Every failure that crosses a module boundary is an Error,
// so callers that need the platform's error triple (number, source, description) always have it.
class Error : public std::runtime_error {
public:
    Error(std::int32_t number, std::string source, std::string description);

    std::int32_t Number() const noexcept { return m_number; }
    const std::string& Source() const noexcept { return m_source; }
    const std::string& Description() const noexcept { return m_description; }

private:
    std::int32_t m_number;
    std::string m_source;
    std::string m_description;
};

// Error numbers that the component and its stand-ins share with the platform they imitate.
namespace error_number {
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t ControlArrayElementMissing = 340;
inline constexpr std::int32_t ControlNotFound = 730;
inline constexpr std::int32_t InvalidPropertyValue = 380;
inline constexpr std::int32_t PropertyNotSupported = 438;
inline constexpr std::int32_t PropertyReadOnly = 383;
inline constexpr std::int32_t ResourceNotFound = 326;
inline constexpr std::int32_t ObjectNotSet = 91;
inline constexpr std::int32_t CannotCreateObject = 429;
inline constexpr std::int32_t KeyNotFound = 32811;
inline constexpr std::int32_t KeyAlreadyExists = 457;
// Component errors are numbered from this base upwards.
inline constexpr std::int32_t ComponentBase = static_cast<std::int32_t>(0x80040000u);
}  // namespace error_number

}  // namespace vor
