#include "vormotor/drivesim/SimHost.h"

#include <string>

namespace vor {

void SimHost::Written(const CallSite& site, double value) {
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
