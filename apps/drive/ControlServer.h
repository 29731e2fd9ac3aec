#pragma once

#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "apps/common/SocketService.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/script/DriveScript.h"
#include "vormotor/script/ScriptAnswers.h"

namespace vor::drive {

// The control channel of the drive server: a client sends "N LINE", a script line of the
// host's drive side (drive.* and writes) with its line number; the server runs it on its drive
// exactly as the host would run it in-process and answers with the host's output lines, then
// "=ok" or "=fail".
class ControlServer final : public app::SocketService {
public:
    // Owns the drive. Port 0: any free port.
    ControlServer(std::unique_ptr<sim::SimDrive> drive, const std::string& host, int port, Limits limits = {});

    // Runs after every line the drive ran; when it throws, the line fails with its message. The
    // Modbus server checks there that the drive still fits its register map.
    void SetAfterLine(std::function<void()> check) { m_afterLine = std::move(check); }

private:
    bool Answer(std::string& input, std::string& output) override;
    std::string Run(const std::string& request);

    std::unique_ptr<sim::SimDrive> m_drive;
    std::ostringstream m_output;
    script::ScriptAnswers m_answers;
    script::DriveScript m_script;
    std::function<void()> m_afterLine;
};

}  // namespace vor::drive
