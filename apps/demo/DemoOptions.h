#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vor::demo {

// The demo's command line.
struct DemoOptions {
    std::string profile = "servo";            // a built-in profile's name or a profile file
    std::string screenshot;                   // empty: run interactively
    std::string connect;                      // HOST:PORT of a vormotor-drive; empty: a drive in-process
    std::int32_t speed = 0;                   // steps of the Hall sequence per timer tick
    std::int32_t ticks = 5;                   // timer ticks before a screenshot is taken
    std::string actions;                      // user input to play first (InputScript)
    bool freeze = false;                      // keep the window still for a screen capture
    std::optional<std::int32_t> accessLevel;  // the application's access level at the start
    std::string tip;                          // a control whose reasons the screenshot shows, NAME or NAME(I)
    bool help = false;

    static constexpr std::string_view kUsage =
        "usage: vormotor-demo [--profile servo|stepper|FILE | --connect HOST:PORT] [--speed STEPS]\n"
        "                     [--access-level L] [--actions STEPS] [--screenshot FILE.png | --freeze]\n"
        "                     [--ticks N] [--tip NAME[(I)]]\n"
        "Shows the motor settings panel attached to a simulated drive, or with --connect to the drive a\n"
        "vormotor-drive serves (docs/link.md). It needs a display; without one, use --screenshot.\n"
        "  --speed STEPS        the motor turns by STEPS sensor steps per 100 ms tick\n"
        "  --access-level L     the application's access level at the start (a drive in-process only)\n"
        "  --screenshot FILE    plays the actions, runs N ticks (default 5), writes the window to a PNG\n"
        "                       and exits; it needs no display (Qt's offscreen platform is used)\n"
        "  --tip NAME[(I)]      with --screenshot: the picture shows that greyed-out control's tool tip,\n"
        "                       why it cannot be changed\n"
        "  --freeze             as --screenshot, but keeps the window on the display, still, and prints\n"
        "                       'vormotor-demo: ready, window 0x...' for a screen capture\n"
        "  --actions STEPS      user input, comma-separated: click:NAME, key:NAME:KEY (NAME is a\n"
        "                       control's accessible name; KEY Up, Down, Left, Right, Return, Space, Tab)\n";

    // A still picture: the clock stops, the actions are played, then the ticks run.
    bool Still() const noexcept { return freeze || !screenshot.empty(); }

    // Throws std::invalid_argument with the reason on a bad command line.
    static DemoOptions Parse(const std::vector<std::string>& arguments);
};

}  // namespace vor::demo
