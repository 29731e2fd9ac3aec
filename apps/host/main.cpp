// vormotor-host: runs the motor settings panel on a simulated drive from a script.
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "apps/common/CommandLine.h"
#include "apps/common/InputText.h"
#include "apps/host/ScriptHost.h"
#include "vormotor/netdrive/ControlClient.h"
#include "vormotor/script/ProgramDrive.h"

namespace {

// The panel on a drive across the link; the script's drive side goes through the server's
// control channel (the drive's port + 1 unless given), reached only when a line needs it, so a
// drive without one serves every script that has no drive side.
std::unique_ptr<vor::host::ScriptHost> ConnectedHost(vor::script::ProgramDrive drive, int controlPort) {
    const auto& options = drive.link;
    auto control = std::make_shared<vor::netdrive::ControlClient>(
        options.host, controlPort > 0 ? controlPort : options.port + 1, options.timeout);
    auto host = std::make_unique<vor::host::ScriptHost>(std::move(drive.connected.drive), std::cout);
    host->SetRemoteDrive([control, link = drive.connected.link](const std::string& line, std::int32_t lineNumber) {
        const auto answer = control->Run(line, lineNumber);
        std::cout << answer.output;
        link->PollNow();
        return answer.succeeded;
    });
    return host;
}

}  // namespace

int main(int argc, char** argv) {
    vor::app::CommandLine commandLine(
        "vormotor-host",
        "Runs the commands of SCRIPT against the motor panel on a simulated drive, or on the drive a\n"
        "vormotor-drive serves at HOST:PORT; see docs/host.md and docs/link.md. Exit status: 0 every\n"
        "command succeeded, 1 a command failed, 2 the host could not start.");
    auto& options = commandLine.Options();
    std::string profile = "servo";
    std::string connect;
    int controlPort = 0;
    bool strict = false;
    std::vector<std::string> scripts;
    auto* profileOption =
        options.add_option("--profile", profile, "servo, stepper, a profile FILE or - (standard input)")
            ->type_name("NAME|FILE");
    options.add_option("--connect", connect, "the drive a vormotor-drive serves")
        ->type_name("HOST:PORT")
        ->excludes(profileOption);
    options.add_option("--control-port", controlPort, "its control channel, 0 to 65535 (default PORT + 1)")
        ->type_name("PORT")
        ->check(vor::app::PortNumber());
    options.add_flag("--strict", strict, "stop at the first command that fails");
    options.add_option("SCRIPT", scripts, "the script; standard input when absent or -")->type_name("FILE");
    if (const auto status = commandLine.Parse(argc, argv)) {
        return *status;
    }
    if (scripts.size() > 1) {
        return commandLine.UsageError("SCRIPT: one script at most, got '" + scripts[0] + "' and '" + scripts[1] + "'");
    }
    const std::string scriptPath = scripts.empty() ? "-" : scripts.front();
    if (profile == "-" && scriptPath == "-") {
        return commandLine.UsageError("--profile -: standard input already holds the script");
    }

    try {
        auto drive = vor::script::ProgramDrive::Load(profile, connect);
        const auto hostPointer = drive.simulated
                                     ? std::make_unique<vor::host::ScriptHost>(std::move(drive.simulated), std::cout)
                                     : ConnectedHost(std::move(drive), controlPort);
        // Standard input answers line by line, as a user types; a file is read whole first.
        if (scriptPath == "-") {
            return hostPointer->Run(std::cin, strict) ? vor::app::kDone : vor::app::kFailed;
        }
        std::istringstream script(vor::app::ReadInput(scriptPath, "script"));
        return hostPointer->Run(script, strict) ? vor::app::kDone : vor::app::kFailed;
    } catch (const std::exception& failure) {
        return commandLine.Fail(failure.what(), vor::app::kUsageError);
    }
}
