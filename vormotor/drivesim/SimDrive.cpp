#include "vormotor/drivesim/SimDrive.h"

#include <utility>

#include "vormotor/drivemodel/ProfileLoader.h"

namespace vor::sim {

SimDrive::SimDrive(const model::Profile& profile, std::shared_ptr<FaultInjector> faults)
    : DriveModel(profile, faults),
      m_faults(std::move(faults)),
      m_motion(std::make_unique<MotionModel>(Node()->Io(),
                                             profile.angleParam ? Node()->DriveParam(*profile.angleParam) : nullptr,
                                             profile.angleStep, profile.hallSequence)) {}

std::unique_ptr<SimDrive> SimDrive::Load(const std::string& path) {
    return std::make_unique<SimDrive>(model::ProfileLoader::LoadFile(path));
}

}  // namespace vor::sim
