#pragma once

#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "apps/drive/SocketService.h"
#include "apps/host/ScriptHost.h"
#include "vormotor/drivesim/SimDrive.h"

namespace vor::drive {

// The control channel of the drive server: a client sends "N LINE", a script line of the
// host's drive side (drive.* and writes) with its line number; the server runs it on its drive
// exactly as the host would run it in-process and answers with the host's output lines, then
// "=ok" or "=fail".
class ControlServer final : public SocketService {
public:
    // Owns the drive (through the script host that runs the lines). Port 0: any free port.
    ControlServer(std::unique_ptr<sim::SimDrive> drive, const std::string& host, int port, Limits limits = {});

    // Runs after every line the drive ran; when it throws, the line fails with its message. The
    // Modbus server checks there that the drive still fits its register map.
    void SetAfterLine(std::function<void()> check) { m_afterLine = std::move(check); }

private:
    bool Answer(std::string& input, std::string& output) override;
    std::string Run(const std::string& request);

    std::ostringstream m_output;
    host::ScriptHost m_host;
    std::function<void()> m_afterLine;
};

}  // namespace vor::drive
