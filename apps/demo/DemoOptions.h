#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace CLI {
class App;
}

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

    static constexpr std::string_view kDescription =
        "Shows the motor settings panel attached to a simulated drive, or with --connect to the drive a\n"
        "vormotor-drive serves (docs/link.md). It needs a display; without one, use --screenshot.\n"
        "Exit status: 0 done, 1 failed (no display, an action or picture that could not be made), 2 usage\n"
        "error or a drive that cannot be loaded.";

    // A still picture: the clock stops, the actions are played, then the ticks run.
    bool Still() const noexcept { return freeze || !screenshot.empty(); }

    // The demo's options on a command line the program parses.
    static void Declare(CLI::App& commandLine, DemoOptions& options);
};

}  // namespace vor::demo
