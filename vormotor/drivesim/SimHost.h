#pragma once

#include <memory>
#include <vector>

#include "vormotor/drivesim/DriveWrite.h"
#include "vormotor/drivesim/FaultInjector.h"
#include "vormotor/valuelib/ValueHost.h"

namespace vor {

// Every object of one simulated drive passes its calls through this host: it applies the
// injected faults and keeps the log of what the drive's user wrote.
class SimHost final : public ValueHost {
public:
    void Enter(const CallSite& site) override;
    bool EnterForObject(const CallSite& site) override;
    void Written(const CallSite& site, double value) override;
    void DriveEnabledWritten(bool enabled);

    // A drive that stands in for one elsewhere passes every call and write on to the relay,
    // which may fail them; a write the relay refuses is neither applied nor logged.
    void SetRelay(std::shared_ptr<ValueHost> relay) noexcept { m_relay = std::move(relay); }

    FaultInjector& Faults() noexcept { return m_faults; }
    // The latest writes: a drive that runs for days must not keep every one. Past kMaxWrites
    // the older half goes, so the log always holds at least the latest kMaxWrites / 2.
    static constexpr std::size_t kMaxWrites = 20'000;
    const std::vector<DriveWrite>& Writes() const noexcept { return m_writes; }
    void ClearWrites() noexcept { m_writes.clear(); }

private:
    void Log(DriveWrite write);

    std::shared_ptr<ValueHost> m_relay;
    FaultInjector m_faults;
    std::vector<DriveWrite> m_writes;
};

}  // namespace vor
