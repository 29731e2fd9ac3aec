#pragma once

#include <vector>

#include "vormotor/drivesim/DriveWrite.h"
#include "vormotor/drivesim/FaultInjector.h"
#include "vormotor/valuelib/ValueHost.h"

namespace vor {

// Every object of one simulated drive passes its calls through this host: it applies the
// injected faults and keeps the log of what the drive's user wrote.
class SimHost final : public ValueHost {
public:
    void Enter(const CallSite& site) override { m_faults.Check(site); }
    bool EnterForObject(const CallSite& site) override { return m_faults.CheckForObject(site); }
    void Written(const CallSite& site, double value) override;
    void DriveEnabledWritten(bool enabled) { m_writes.push_back(DriveWrite::DriveEnabled(enabled)); }

    FaultInjector& Faults() noexcept { return m_faults; }
    const std::vector<DriveWrite>& Writes() const noexcept { return m_writes; }
    void ClearWrites() noexcept { m_writes.clear(); }

private:
    FaultInjector m_faults;
    std::vector<DriveWrite> m_writes;
};

}  // namespace vor
