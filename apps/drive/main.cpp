// vormotor-drive: a simulated drive served over Modbus TCP (docs/link.md).
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "apps/common/CommandLine.h"
#include "apps/drive/ControlServer.h"
#include "apps/drive/DriveServer.h"
#include "vormotor/script/ProfileSource.h"

namespace {

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

// Whole or not at all: a watcher may read it at any moment.
void WriteReadyFile(const std::string& file, int port, int controlPort) {
    const std::string partial = file + ".partial";
    std::ofstream(partial) << port << ' ' << controlPort << '\n';
    if (std::rename(partial.c_str(), file.c_str()) != 0) {
        throw std::runtime_error("cannot write " + file + ": " + std::strerror(errno));
    }
}

}  // namespace

int main(int argc, char** argv) {
    vor::app::CommandLine commandLine(
        "vormotor-drive",
        "Serves a simulated drive over Modbus TCP, and its control channel for drive.* script lines on the\n"
        "control port. Port 0 takes any free port; --ready-file then tells which. Runs until SIGINT or\n"
        "SIGTERM (exit status 0); 2 when it cannot start. See docs/link.md.");
    auto& parser = commandLine.Options();
    Options options;
    parser.add_option("--profile", options.profile, "servo (default), stepper, a profile FILE or -")
        ->type_name("NAME|FILE");
    parser.add_option("--listen", options.address, "the address to listen on (127.0.0.1)")->type_name("ADDRESS");
    parser.add_option("--port", options.port, "the Modbus TCP port, 0 to 65535 (1502)")
        ->type_name("PORT")
        ->check(vor::app::PortNumber());
    parser.add_option("--control-port", options.controlPort, "the control channel's port (PORT + 1)")
        ->type_name("PORT")
        ->check(vor::app::PortNumber());
    parser.add_option("--speed", options.speed, "the motor turns by STEPS sensor steps every tick (0)")
        ->type_name("STEPS");
    parser.add_option("--tick-ms", options.tickMs, "the motor's tick, 1 to 60000 milliseconds (100)")
        ->type_name("MS")
        ->check(CLI::Range(1, 60000).description(""));
    parser.add_option("--ready-file", options.readyFile, "receives \"PORT CONTROL-PORT\" once both listen")
        ->type_name("FILE")
        ->check(vor::app::InExistingFolder());
    if (const auto status = commandLine.Parse(argc, argv)) {
        return *status;
    }
    if (options.controlPort < 0) {
        if (options.port == 65535) {
            return commandLine.UsageError(
                "--port 65535: no port above it for the control channel; give --control-port");
        }
        options.controlPort = options.port == 0 ? 0 : options.port + 1;
    }
    try {
        const auto profile = vor::script::ProfileSource::Read(options.profile);
        const std::string& description = profile.text;
        auto owned = profile.Load();
        vor::sim::SimDrive& drive = *owned;
        drive.Motion().SetSpeed(options.speed);
        vor::drive::ControlServer control(std::move(owned), options.address, options.controlPort);
        vor::drive::DriveServer::LinkMemory memory;
        vor::drive::DriveServer server(drive, memory, description, options.address, options.port);
        control.SetAfterLine([&server] { server.Publish(); });
        if (!options.readyFile.empty()) {
            WriteReadyFile(options.readyFile, server.Port(), control.Port());
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
            vor::app::ServeOnce({&server, &control}, std::max(wait, std::chrono::milliseconds(0)));
            if (std::chrono::steady_clock::now() >= nextTick) {
                drive.Motion().Advance();
                nextTick += tick;
            }
        }
        return vor::app::kDone;
    } catch (const std::exception& failure) {
        return commandLine.Fail(failure.what(), vor::app::kUsageError);
    }
}
