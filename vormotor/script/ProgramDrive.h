#pragma once

#include <memory>
#include <string>

#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/netdrive/LinkOptions.h"
#include "vormotor/netdrive/NetLink.h"

namespace vor::script {

// The drive a program runs on: a simulated drive from a profile, or the drive a vormotor-drive
// serves, followed across the link.
struct ProgramDrive {
    std::unique_ptr<sim::SimDrive> simulated;  // from a profile
    netdrive::LinkOptions link;                // across the link: where the drive is
    netdrive::NetLink::Connected connected;

    // `profile` as ProfileSource reads it when `endpoint` ("HOST:PORT") is empty. Throws
    // std::runtime_error for a profile that cannot be read, Error for a drive that cannot be reached.
    static ProgramDrive Load(const std::string& profile, const std::string& endpoint);
};

}  // namespace vor::script
