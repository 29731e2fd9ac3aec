#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vor::demo {

// The demo's command line.
struct DemoOptions {
    std::string profile = "servo";  // a built-in profile's name or a profile file
    std::string screenshot;         // empty: run interactively
    std::string connect;            // HOST:PORT of a vormotor-drive; empty: a drive in-process
    std::int32_t speed = 0;         // steps of the Hall sequence per timer tick
    std::int32_t ticks = 5;         // timer ticks before a screenshot is taken
    bool help = false;

    static constexpr std::string_view kUsage =
        "usage: vormotor-demo [--profile servo|stepper|FILE | --connect HOST:PORT] [--speed STEPS]\n"
        "                     [--screenshot FILE.png [--ticks N]]\n"
        "Shows the motor settings panel attached to a simulated drive, or with --connect to the drive a\n"
        "vormotor-drive serves (docs/link.md). --speed turns the motor by STEPS sensor steps per 100 ms\n"
        "tick. --screenshot renders the window to a PNG after N ticks (default 5) and exits; it needs no\n"
        "display.\n";

    // Throws std::invalid_argument with the reason on a bad command line.
    static DemoOptions Parse(const std::vector<std::string>& arguments);
};

}  // namespace vor::demo
