#include "vormotor/script/ProgramDrive.h"

#include "vormotor/script/ProfileSource.h"

namespace vor::script {

ProgramDrive ProgramDrive::Load(const std::string& profile, const std::string& endpoint) {
    ProgramDrive loaded;
    if (endpoint.empty()) {
        loaded.simulated = ProfileSource::Read(profile).Load();
    } else {
        loaded.link = netdrive::LinkOptions::FromEndpoint(endpoint);
        loaded.connected = netdrive::NetLink::Connect(loaded.link);
    }
    return loaded;
}

}  // namespace vor::script
