#include "vormotor/drivesim/SimHost.h"

#include <string>
#include <utility>

namespace vor {

void SimHost::Enter(const CallSite& site) {
    m_faults.Check(site);
    if (m_relay) {
        m_relay->Enter(site);
    }
}

// A call nulled here has no other effect: it does not reach the relay.
bool SimHost::EnterForObject(const CallSite& site) {
    if (m_faults.CheckForObject(site)) {
        return true;
    }
    return m_relay && m_relay->EnterForObject(site);
}

void SimHost::DriveEnabledWritten(bool enabled) {
    if (m_relay) {
        m_relay->Written(CallSite{"Node.SetDriveEnabled"}, enabled ? 1.0 : 0.0);
    }
    Log(DriveWrite::DriveEnabled(enabled));
}

void SimHost::Written(const CallSite& site, double value) {
    if (m_relay) {
        m_relay->Written(site, value);
    }
    // Values without a parameter are the user's own; writing them does not reach the drive.
    if (!site.param) {
        return;
    }
    if (site.field.empty() && site.operation != OperationId("Field.SetValue")) {
        Log(DriveWrite::Param(*site.param, value));
    } else {
        Log(DriveWrite::Field(*site.param, std::string(site.field), static_cast<std::int32_t>(value)));
    }
}

void SimHost::Log(DriveWrite write) {
    if (m_writes.size() == kMaxWrites) {
        m_writes.erase(m_writes.begin(), m_writes.begin() + kMaxWrites / 2);
    }
    m_writes.push_back(std::move(write));
}

}  // namespace vor
