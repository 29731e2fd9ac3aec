#pragma once

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

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
    ControlServer(std::unique_ptr<SimDrive> drive, const std::string& host, int port);
    ~ControlServer() override;
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    int Port() const;
    std::vector<int> Sockets() const override;
    void Ready(int socket) override;

private:
    void Accept();
    void Receive(int socket);
    std::string Run(const std::string& request);
    void Drop(int socket);

    std::ostringstream m_output;
    host::ScriptHost m_host;
    int m_listener;
    std::map<int, std::string> m_pending;  // per client, what arrived of its next request
};

}  // namespace vor::drive
