#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "apps/drive/SocketService.h"
#include "vormotor/core/Event.h"
#include "vormotor/drivesim/Profile.h"
#include "vormotor/drivesim/SimDrive.h"

struct _modbus;
struct _modbus_mapping_t;

namespace vor::drive {

// Serves one simulated drive over Modbus TCP through the register map of docs/link.md: every
// request sees the drive as it is at that moment, and a write request is applied through the
// drive's own objects, so the drive checks it, logs it and may be told to fail it like any call.
class DriveServer final : public SocketService {
public:
    // What a drive keeps of its link while its server stops and starts again, so that a client
    // that reconnects finds the same session, the last write applied and the events raised.
    struct LinkMemory {
        LinkMemory();

        std::uint32_t session;
        std::uint32_t eventNext = 0;
        std::uint32_t lastWriteId = 0;
        std::uint32_t microstepGeneration = 0;
        std::vector<std::pair<std::int32_t, std::string>> microsteps;
    };

    // `description` is the drive's profile text; `memory` lives as long as the drive. Listens at
    // once (port 0: any free port); throws std::runtime_error when it cannot.
    DriveServer(SimDrive& drive, LinkMemory& memory, std::string description, const std::string& host, int port);
    ~DriveServer() override;
    DriveServer(const DriveServer&) = delete;
    DriveServer& operator=(const DriveServer&) = delete;

    int Port() const;
    std::vector<int> Sockets() const override;
    void Ready(int socket) override;

private:
    void Accept();
    void Serve(int socket);
    void Answer(const std::uint8_t* request, int length);
    void ApplyWrite(const std::uint16_t* values);
    void Refresh();
    void EncodeMicrosteps();
    void RecordCommutation(std::int32_t thisCode, std::int32_t lastCode);
    void Drop(int socket);

    SimDrive& m_drive;
    std::string m_description;
    Profile m_profile;
    _modbus* m_context;
    _modbus_mapping_t* m_mapping;
    int m_listener;
    std::vector<int> m_clients;

    LinkMemory& m_memory;
    // The sensor code of the input word when the drive last raised a transition: a transition
    // that leaves it unchanged is an event of its own, which the state cannot show.
    std::int32_t m_sensorCode;
    Connection m_commutation;
};

}  // namespace vor::drive
