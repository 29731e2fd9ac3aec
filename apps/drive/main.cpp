// vormotor-drive: a simulated drive served over Modbus TCP (docs/link.md).
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "apps/drive/ControlServer.h"
#include "apps/drive/DriveServer.h"
#include "apps/host/BuiltinProfiles.h"
#include "vormotor/drivesim/ProfileLoader.h"

namespace {

constexpr std::string_view kUsage =
    "usage: vormotor-drive [--profile servo|stepper|FILE] [--listen ADDRESS] [--port PORT]\n"
    "                      [--control-port PORT] [--speed STEPS] [--tick-ms MS] [--ready-file FILE]\n"
    "Serves a simulated drive over Modbus TCP on ADDRESS (127.0.0.1) port PORT (1502), and its\n"
    "control channel for drive.* script lines on the control port (PORT + 1). Port 0 takes any free\n"
    "port; --ready-file then receives \"PORT CONTROL-PORT\" once both listen. --speed turns the motor\n"
    "by STEPS sensor steps every MS milliseconds (100). See docs/link.md.\n";

volatile std::sig_atomic_t g_stop = 0;

struct Options {
    std::string profile = "servo";
    std::string address = "127.0.0.1";
    int port = 1502;
    int controlPort = -1;
    int speed = 0;
    int tickMs = 100;
    std::string readyFile;
};

std::string ProfileText(const std::string& profile) {
    if (const auto text = vor::host::BuiltinProfile(profile)) {
        return std::string(*text);
    }
    std::ifstream file(profile);
    if (!file) {
        throw std::runtime_error("cannot read " + profile);
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

int Number(std::string_view option, const char* text) {
    std::size_t used = 0;
    const int value = std::stoi(text, &used);
    if (text[used] != '\0' || value < 0) {
        throw std::invalid_argument(std::string(option) + " takes a number, not " + text);
    }
    return value;
}

Options Parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            std::exit(0);
        }
        if (i + 1 >= argc) {
            throw std::invalid_argument("unknown or incomplete option " + std::string(argument));
        }
        const char* value = argv[++i];
        if (argument == "--profile") {
            options.profile = value;
        } else if (argument == "--listen") {
            options.address = value;
        } else if (argument == "--port") {
            options.port = Number(argument, value);
        } else if (argument == "--control-port") {
            options.controlPort = Number(argument, value);
        } else if (argument == "--speed") {
            options.speed = std::stoi(value);
        } else if (argument == "--tick-ms") {
            options.tickMs = Number(argument, value);
        } else if (argument == "--ready-file") {
            options.readyFile = value;
        } else {
            throw std::invalid_argument("unknown option " + std::string(argument));
        }
    }
    if (options.controlPort < 0) {
        options.controlPort = options.port == 0 ? 0 : options.port + 1;
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    try {
        options = Parse(argc, argv);
    } catch (const std::exception& failure) {
        std::cerr << "vormotor-drive: " << failure.what() << '\n' << kUsage;
        return 2;
    }
    try {
        const std::string description = ProfileText(options.profile);
        auto owned = std::make_unique<vor::SimDrive>(vor::ProfileLoader::Parse(description, options.profile));
        vor::SimDrive& drive = *owned;
        drive.Motion().SetSpeed(options.speed);
        vor::drive::ControlServer control(std::move(owned), options.address, options.controlPort);
        vor::drive::DriveServer::LinkMemory memory;
        vor::drive::DriveServer server(drive, memory, description, options.address, options.port);
        control.SetAfterLine([&server] { server.Publish(); });
        if (!options.readyFile.empty()) {
            // Whole or not at all: a watcher may read it at any moment.
            const std::string partial = options.readyFile + ".partial";
            std::ofstream(partial) << server.Port() << ' ' << control.Port() << '\n';
            std::rename(partial.c_str(), options.readyFile.c_str());
        }
        std::cerr << "vormotor-drive: serving \"" << drive.Name() << "\" on " << options.address << " port "
                  << server.Port() << ", control port " << control.Port() << '\n';
        std::signal(SIGINT, [](int) { g_stop = 1; });
        std::signal(SIGTERM, [](int) { g_stop = 1; });
        const std::chrono::milliseconds tick(options.tickMs);
        auto nextTick = std::chrono::steady_clock::now() + tick;
        while (g_stop == 0) {
            // Rounded up: a wait cut to 0 ms would spin until the tick.
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextTick - std::chrono::steady_clock::now());
            vor::drive::ServeOnce({&server, &control}, std::max(wait, std::chrono::milliseconds(0)));
            if (std::chrono::steady_clock::now() >= nextTick) {
                drive.Motion().Advance();
                nextTick += tick;
            }
        }
        return 0;
    } catch (const std::exception& failure) {
        std::cerr << "vormotor-drive: " << failure.what() << '\n';
        return 2;
    }
}
