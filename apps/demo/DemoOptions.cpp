#include "apps/demo/DemoOptions.h"

#include <CLI/CLI.hpp>

namespace vor::demo {

void DemoOptions::Declare(CLI::App& commandLine, DemoOptions& options) {
    auto* profile = commandLine.add_option("--profile", options.profile, "servo (default), stepper or a profile FILE")
                        ->type_name("NAME|FILE");
    commandLine.add_option("--connect", options.connect, "the drive a vormotor-drive serves")
        ->type_name("HOST:PORT")
        ->excludes(profile);
    commandLine.add_option("--speed", options.speed, "the motor turns by STEPS sensor steps per 100 ms tick")
        ->type_name("STEPS");
    commandLine
        .add_option("--access-level", options.accessLevel,
                    "the application's access level at the start (a drive in-process only)")
        ->type_name("L");
    commandLine
        .add_option("--screenshot", options.screenshot,
                    "plays the actions, runs the ticks, writes the window to FILE (.png, .jpg, ... by its "
                    "suffix) and exits; needs no display")
        ->type_name("FILE");
    commandLine.add_flag("--freeze", options.freeze,
                         "as --screenshot, but keeps the window on the display, still, and prints 'vormotor-demo: "
                         "ready, window 0x...' for a screen capture");
    commandLine.add_option("--ticks", options.ticks, "timer ticks before the picture, 0 to 10000 (5)")
        ->type_name("N")
        ->check(CLI::Range(0, 10000).description(""));
    commandLine
        .add_option("--tip", options.tip,
                    "with --screenshot: the picture shows that greyed-out control's tool tip, why it cannot be "
                    "changed")
        ->type_name("NAME[(I)]");
    commandLine
        .add_option("--actions", options.actions,
                    "user input, comma-separated: click:NAME, key:NAME:KEY (NAME is a control's accessible name; "
                    "KEY Up, Down, Left, Right, Return, Space, Tab)")
        ->type_name("STEPS");
}

}  // namespace vor::demo
