#include "vormotor/drivemodel/ModelHost.h"

#include <string>
#include <utility>

namespace vor::model {

void ModelHost::Enter(const valuelib::CallSite& site) {
    if (m_backEnd) {
        m_backEnd->Enter(site);
    }
}

bool ModelHost::EnterForObject(const valuelib::CallSite& site) {
    return m_backEnd && m_backEnd->EnterForObject(site);
}

void ModelHost::DriveEnabledWritten(bool enabled) {
    if (m_backEnd) {
        m_backEnd->Written(valuelib::CallSite{"Node.SetDriveEnabled"}, enabled ? 1.0 : 0.0);
    }
    Log(DriveWrite::DriveEnabled(enabled));
}

void ModelHost::Written(const valuelib::CallSite& site, double value) {
    if (m_backEnd) {
        m_backEnd->Written(site, value);
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

void ModelHost::Log(DriveWrite write) {
    if (m_writes.size() == kMaxWrites) {
        m_writes.erase(m_writes.begin(), m_writes.begin() + kMaxWrites / 2);
    }
    m_writes.push_back(std::move(write));
}

}  // namespace vor::model
