// vormotor-host: runs the motor settings panel on a simulated drive from a script.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "apps/host/BuiltinProfiles.h"
#include "apps/host/ScriptHost.h"
#include "vormotor/drivesim/ProfileLoader.h"

namespace {

constexpr std::string_view kUsage =
    "usage: vormotor-host [--profile servo|stepper|FILE] [--strict] [SCRIPT]\n"
    "Runs the commands of SCRIPT (standard input when absent) against the motor panel on a\n"
    "simulated drive; see docs/host.md.\n";

std::unique_ptr<vor::SimDrive> LoadDrive(const std::string& profile) {
    if (const auto text = vor::host::BuiltinProfile(profile)) {
        return std::make_unique<vor::SimDrive>(vor::ProfileLoader::Parse(std::string(*text), profile + ".json"));
    }
    return vor::SimDrive::Load(profile);
}

}  // namespace

int main(int argc, char** argv) {
    std::string profile = "servo";
    std::string scriptPath;
    bool strict = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--profile" && i + 1 < argc) {
            profile = argv[++i];
        } else if (argument == "--strict") {
            strict = true;
        } else if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (!argument.starts_with("--") && scriptPath.empty()) {
            scriptPath = argument;
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }

    try {
        vor::host::ScriptHost host(LoadDrive(profile), std::cout);
        if (scriptPath.empty()) {
            return host.Run(std::cin, strict) ? 0 : 1;
        }
        std::error_code unknown;
        if (std::filesystem::is_directory(scriptPath, unknown)) {
            std::cerr << "vormotor-host: " << scriptPath << ": a folder, not a script\n";
            return 2;
        }
        std::ifstream script(scriptPath);
        if (!script) {
            std::cerr << "vormotor-host: cannot read " << scriptPath << '\n';
            return 2;
        }
        return host.Run(script, strict) ? 0 : 1;
    } catch (const std::exception& failure) {
        std::cerr << "vormotor-host: " << failure.what() << '\n';
        return 2;
    }
}
