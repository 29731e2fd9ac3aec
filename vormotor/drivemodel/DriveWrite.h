#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace vor::model {

// One write that the user of a drive model made: a parameter's number, a field of a
// parameter, or the drive's enabled state. Entries compare by value and print as one JSON
// object, {"param":170,"field":"Motor Type","value":2}, {"param":204,"value":3000} or
// {"driveEnabled":false}.
struct DriveWrite {
    enum class Kind { Param, Field, DriveEnabled };

    static DriveWrite Param(std::int32_t param, double value) { return {Kind::Param, param, {}, value}; }
    static DriveWrite Field(std::int32_t param, std::string field, std::int32_t value) {
        return {Kind::Field, param, std::move(field), static_cast<double>(value)};
    }
    static DriveWrite DriveEnabled(bool enabled) { return {Kind::DriveEnabled, 0, {}, enabled ? 1.0 : 0.0}; }

    std::string Json() const;

    friend bool operator==(const DriveWrite&, const DriveWrite&) = default;
    friend void PrintTo(const DriveWrite& write, std::ostream* out) { *out << write.Json(); }

    Kind kind;
    std::int32_t param;
    std::string field;
    double value;
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::DriveWrite;
}  // namespace vor
