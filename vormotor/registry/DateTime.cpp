#include "vormotor/registry/DateTime.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace vor {

namespace {
constexpr DateTime Epoch{1601, 1, 1, 0, 0, 0};
}

#ifdef _WIN32

DateTime DateTime::FromFileTime(FileTime time) {
    FILETIME utc{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    FILETIME local{};
    SYSTEMTIME fields{};
    if (time == 0 || !FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields)) {
        return Epoch;
    }
    return {fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute, fields.wSecond};
}

#else

DateTime DateTime::FromFileTime(FileTime time) {
    constexpr std::int64_t TicksPerSecond = 10'000'000;
    constexpr std::int64_t SecondsFrom1601To1970 = 11'644'473'600;
    const auto seconds =
        static_cast<std::time_t>(static_cast<std::int64_t>(time / TicksPerSecond) - SecondsFrom1601To1970);
    std::tm fields{};
    if (time == 0 || localtime_r(&seconds, &fields) == nullptr) {
        return Epoch;
    }
    return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec};
}

#endif

}  // namespace vor
