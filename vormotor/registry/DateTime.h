#pragma once

#include <compare>
#include <cstdint>

#include "vormotor/regapi/RegistryApi.h"

namespace vor {

// A local calendar date and time to the second, as the registry reports a key's last write.
// Plain fields, so callers format it however they like and compare it without a time zone database.
struct DateTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    auto operator<=>(const DateTime&) const = default;

    // The file time converted to local time, milliseconds dropped. Time 0 (nothing read yet) and
    // times the platform cannot convert come back as the file-time epoch, 1601-01-01 00:00:00.
    static DateTime FromFileTime(FileTime time);
};

}  // namespace vor
