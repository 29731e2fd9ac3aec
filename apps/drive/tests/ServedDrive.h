#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "apps/drive/DriveServer.h"
#include "vormotor/drivesim/SimDrive.h"

namespace vor::drive {

// A simulated drive whose Modbus server runs in a thread of the test and can be killed and
// started again on the same loopback port; the drive itself, with its write log, lives on.
// Touch Drive() only while the server is down.
class ServedDrive {
public:
    explicit ServedDrive(const std::string& profile, app::SocketService::Limits limits = {});
    ~ServedDrive();

    void Start();
    // Closes the listener and every connection at once, as a dying server does.
    void Kill();
    int Port() const noexcept { return m_port; }
    sim::SimDrive& Drive() noexcept { return *m_drive; }

private:
    std::string m_description;
    std::unique_ptr<sim::SimDrive> m_drive;
    app::SocketService::Limits m_limits;
    DriveServer::LinkMemory m_memory;
    std::unique_ptr<DriveServer> m_server;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    int m_port = 0;
};

}  // namespace vor::drive
