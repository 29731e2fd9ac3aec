#include "vormotor/drivesim/SimHost.h"

#include <string>

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
    m_writes.push_back(DriveWrite::DriveEnabled(enabled));
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
        m_writes.push_back(DriveWrite::Param(*site.param, value));
    } else {
        m_writes.push_back(DriveWrite::Field(*site.param, std::string(site.field), static_cast<std::int32_t>(value)));
    }
}

}  // namespace vor
