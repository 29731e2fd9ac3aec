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
    std::int32_t speed = 0;         // steps of the Hall sequence per timer tick
    std::int32_t ticks = 5;         // timer ticks before a screenshot is taken
    bool help = false;

    static constexpr std::string_view kUsage =
        "usage: vormotor-demo [--profile servo|stepper|FILE] [--speed STEPS] [--screenshot FILE.png [--ticks N]]\n"
        "Shows the motor settings panel attached to a simulated drive. --speed turns the motor by STEPS\n"
        "sensor steps per 100 ms tick. --screenshot renders the window to a PNG after N ticks (default 5)\n"
        "and exits; it needs no display.\n";

    // Throws std::invalid_argument with the reason on a bad command line.
    static DemoOptions Parse(const std::vector<std::string>& arguments);
};

}  // namespace vor::demo
