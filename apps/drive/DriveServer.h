#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "apps/common/SocketService.h"
#include "vormotor/core/Event.h"
#include "vormotor/drivemodel/Profile.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/netdrive/DriveImage.h"
#include "vormotor/netdrive/Registers.h"

namespace vor::drive {

// Serves one simulated drive over Modbus TCP through the register map of docs/link.md: every
// request sees the drive as it is at that moment, and a write request is applied through the
// drive's own objects, so the drive checks it, logs it and may be told to fail it like any call.
// A request that is not exactly what the map allows is answered with its Modbus exception and
// changes nothing.
class DriveServer final : public app::SocketService {
public:
    // What a drive keeps of its link while its server stops and starts again, so that a client
    // that reconnects finds the same session, the last write applied and the events raised.
    struct LinkMemory {
        LinkMemory();

        std::uint32_t session;
        std::uint32_t eventNext = 0;
        std::uint32_t lastWriteId = 0;
        std::uint32_t microstepGeneration = 0;
        std::uint32_t changeCount = 0;
        std::vector<std::pair<std::int32_t, std::string>> microsteps;
    };

    // `description` is the drive's profile text; `memory` lives as long as the drive. Listens at
    // once (port 0: any free port); throws std::runtime_error when it cannot.
    DriveServer(sim::SimDrive& drive, LinkMemory& memory, std::string description, const std::string& host, int port,
                Limits limits = {});
    ~DriveServer() override;

    // Brings the registers up to the drive. Throws std::length_error when the drive's state no
    // longer fits the map; the registers then keep what they held.
    void Publish();

private:
    bool Answer(std::string& input, std::string& output) override;
    std::string Reply(const std::uint8_t* pdu, std::size_t size);
    std::string ReadRegisters(const std::uint8_t* pdu, std::size_t size, const netdrive::Registers& table);
    std::string WriteRequest(const std::uint8_t* pdu, std::size_t size);
    void ApplyWrite(const std::uint16_t* values);
    void EncodeMicrosteps(const std::vector<std::pair<std::int32_t, std::string>>& microsteps);
    void RecordCommutation(std::int32_t thisCode, std::int32_t lastCode);

    sim::SimDrive& m_drive;
    std::string m_description;
    model::Profile m_profile;
    netdrive::Registers m_inputs;
    netdrive::Registers m_holding;
    netdrive::DriveImage m_published;
    bool m_publishedForBatch = false;

    LinkMemory& m_memory;
    // The sensor code of the input word when the drive last raised a transition: a transition
    // that leaves it unchanged is an event of its own, which the state cannot show.
    std::int32_t m_sensorCode;
    Connection m_commutation;
};

}  // namespace vor::drive
