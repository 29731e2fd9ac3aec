#include "apps/drive/tests/ServedDrive.h"

#include <chrono>

#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/script/BuiltinProfiles.h"

namespace vor::drive {

ServedDrive::ServedDrive(const std::string& profile, app::SocketService::Limits limits)
    : m_description(*script::BuiltinProfile(profile)),
      m_drive(std::make_unique<sim::SimDrive>(model::ProfileLoader::Parse(m_description, profile))),
      m_limits(limits) {}

ServedDrive::~ServedDrive() {
    if (m_server) {
        Kill();
    }
}

void ServedDrive::Start() {
    m_server = std::make_unique<DriveServer>(*m_drive, m_memory, m_description, "127.0.0.1", m_port, m_limits);
    m_port = m_server->Port();
    m_stop = false;
    m_thread = std::thread([this] {
        while (!m_stop) {
            app::ServeOnce({m_server.get()}, std::chrono::milliseconds(2));
        }
    });
}

void ServedDrive::Kill() {
    m_stop = true;
    m_thread.join();
    m_server.reset();
}

}  // namespace vor::drive
