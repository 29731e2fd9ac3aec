// vormotor-host: runs the motor settings panel on a simulated drive from a script.
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "apps/host/BuiltinProfiles.h"
#include "apps/host/ScriptHost.h"
#include "vormotor/drivesim/ProfileLoader.h"
#include "vormotor/netdrive/ControlClient.h"
#include "vormotor/netdrive/NetLink.h"

namespace {

constexpr std::string_view kUsage =
    "usage: vormotor-host [--profile servo|stepper|FILE | --connect HOST:PORT [--control-port PORT]]\n"
    "                     [--strict] [SCRIPT]\n"
    "Runs the commands of SCRIPT (standard input when absent) against the motor panel on a\n"
    "simulated drive, or on the drive a vormotor-drive serves at HOST:PORT; see docs/host.md and\n"
    "docs/link.md.\n";

// A port number from 0 to 65535, or none for any other text.
std::optional<int> PortNumber(std::string_view text) {
    int port = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || port < 0 || port > 65535) {
        return std::nullopt;
    }
    return port;
}

std::unique_ptr<vor::SimDrive> LoadDrive(const std::string& profile) {
    if (const auto text = vor::host::BuiltinProfile(profile)) {
        return std::make_unique<vor::SimDrive>(vor::ProfileLoader::Parse(std::string(*text), profile + ".json"));
    }
    return vor::SimDrive::Load(profile);
}

// The panel on a drive across the link; the script's drive side goes through the server's
// control channel (the drive's port + 1 unless given), reached only when a line needs it, so a
// drive without one serves every script that has no drive side.
std::unique_ptr<vor::host::ScriptHost> ConnectHost(const std::string& endpoint, int controlPort) {
    const auto options = vor::netdrive::LinkOptions::FromEndpoint(endpoint);
    auto connected = vor::netdrive::NetLink::Connect(options);
    auto control = std::make_shared<vor::netdrive::ControlClient>(
        options.host, controlPort > 0 ? controlPort : options.port + 1, options.timeout);
    auto host = std::make_unique<vor::host::ScriptHost>(std::move(connected.drive), std::cout);
    host->SetRemoteDrive([control, link = connected.link](const std::string& line, std::int32_t lineNumber) {
        const auto answer = control->Run(line, lineNumber);
        std::cout << answer.output;
        link->PollNow();
        return answer.succeeded;
    });
    return host;
}

}  // namespace

int main(int argc, char** argv) {
    std::string profile = "servo";
    std::string scriptPath;
    bool strict = false;
    std::string connect;
    int controlPort = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--profile" && i + 1 < argc) {
            profile = argv[++i];
        } else if (argument == "--connect" && i + 1 < argc) {
            connect = argv[++i];
        } else if (argument == "--control-port" && i + 1 < argc) {
            const auto port = PortNumber(argv[++i]);
            if (!port) {
                std::cerr << "vormotor-host: --control-port: expected a port from 0 to 65535, got '" << argv[i]
                          << "'\n";
                return 2;
            }
            controlPort = *port;
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
        const auto hostPointer = connect.empty()
                                     ? std::make_unique<vor::host::ScriptHost>(LoadDrive(profile), std::cout)
                                     : ConnectHost(connect, controlPort);
        auto& host = *hostPointer;
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
