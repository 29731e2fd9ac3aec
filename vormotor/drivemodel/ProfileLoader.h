#pragma once

#include <cstdint>
#include <string>

#include "vormotor/drivemodel/Profile.h"

namespace vor::model {

// Reads drive profiles (docs/profile.md). A profile that cannot be used is refused with an
// Error whose description names the file, the place in it and the problem, for example
// "servo.json: line 274: parameters[15].fields[0].width: field wider than 32 bits (40)".
class ProfileLoader {
public:
    static Profile LoadFile(const std::string& path);
    // `fileName` only names the text in messages.
    static Profile Parse(const std::string& text, const std::string& fileName);

    static constexpr std::int32_t kErrorNumber = static_cast<std::int32_t>(0x80040201u);
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::ProfileLoader;
}  // namespace vor
