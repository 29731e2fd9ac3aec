#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vormotor/core/Event.h"
#include "vormotor/drivemodel/DriveBackEnd.h"
#include "vormotor/drivemodel/DriveModel.h"
#include "vormotor/drivemodel/DriveWrite.h"
#include "vormotor/drivemodel/Profile.h"
#include "vormotor/netdrive/LinkOptions.h"
#include "vormotor/netdrive/ModbusClient.h"

namespace vor::netdrive {

// The drive network library for a drive across a Modbus TCP link (docs/link.md). It keeps a
// copy of the drive, built from the description the drive serves, and hands that copy's network
// and node to the panel; the link is the copy's back end, so a call reaches the wire straight from
// the model. The copy follows the drive only on the host's timer tick, before the
// tick reaches the panel, so every event comes on the host's thread; the panel's writes go to
// the drive at once and fail when the drive or the link refuses them. While the link is down the
// node reports offline, every other call on the drive fails, and each tick after the retry
// interval tries to get the link back.
class NetLink final : public model::DriveBackEnd, public std::enable_shared_from_this<NetLink> {
public:
    struct Connected {
        std::unique_ptr<model::DriveModel> drive;  // what the host attaches the panel to
        std::shared_ptr<NetLink> link;
    };
    // Throws Error when the drive cannot be reached or does not describe itself usably.
    static Connected Connect(const LinkOptions& options);

    void Enter(const valuelib::CallSite& site) override;
    void Written(const valuelib::CallSite& site, double value) override;

    // Reads the drive now, whatever the poll interval, for a host that changed the drive
    // another way and wants to see it before the next tick. The copy must still exist.
    void PollNow();

    bool IsUp() const noexcept { return m_client != nullptr; }
    // Every write that reached the drive, in order, including one whose answer the link lost
    // and which the drive reported applied once the link was back.
    const std::vector<model::DriveWrite>& DeliveredWrites() const noexcept { return m_delivered; }
    // The Modbus requests the link has made so far, for measurements.
    std::uint64_t Requests() const noexcept { return m_requestsBefore + (m_client ? m_client->Requests() : 0); }

    static constexpr std::int32_t kLinkDown = static_cast<std::int32_t>(0x80040300u);
    static constexpr std::int32_t kRefused = static_cast<std::int32_t>(0x80040301u);

private:
    struct PendingWrite {
        std::uint32_t id;
        model::DriveWrite write;
    };

    explicit NetLink(LinkOptions options);

    void Tick();
    void Poll();
    bool Reconnect();
    void LinkDown();
    std::string ReadDescription();
    void ReadMicrosteps();
    std::string ReadText(int address, int maxRegisters, const std::string& what);
    void RaiseEvents(std::uint32_t next);
    Registers WriteRequest(const valuelib::CallSite& site, double value, std::uint32_t id) const;
    model::DriveWrite AsDriveWrite(const valuelib::CallSite& site, double value) const;
    std::int32_t FieldIndex(std::int32_t param, std::string_view field) const;

    LinkOptions m_options;
    std::unique_ptr<ModbusClient> m_client;
    std::string m_description;
    model::Profile m_profile;
    model::DriveModel* m_drive = nullptr;  // the copy; the host owns it
    Connection m_tick;

    std::uint32_t m_session = 0;
    std::uint32_t m_microstepGeneration = 0;
    std::uint32_t m_eventCursor = 0;
    std::uint32_t m_changeCount = 0;  // of the drive's registers the copy last followed
    std::uint32_t m_nextWriteId;
    std::optional<PendingWrite> m_inDoubt;
    std::vector<model::DriveWrite> m_delivered;
    std::uint64_t m_requestsBefore = 0;  // on the connections lost so far

    using Clock = std::chrono::steady_clock;
    Clock::time_point m_lastPoll{};
    Clock::time_point m_nextAttempt{};
};

}  // namespace vor::netdrive
