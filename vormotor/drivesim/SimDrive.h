#pragma once

#include <memory>
#include <string>

#include "vormotor/drivemodel/DriveModel.h"
#include "vormotor/drivemodel/Profile.h"
#include "vormotor/drivesim/FaultInjector.h"
#include "vormotor/drivesim/MotionModel.h"

namespace vor::sim {

// A simulated drive: the drive model of a profile with a motor that turns (Motion) and calls of
// the user that can be made to fail (Faults), which is the model's back end.
class SimDrive final : public model::DriveModel {
public:
    explicit SimDrive(const model::Profile& profile) : SimDrive(profile, std::make_shared<FaultInjector>()) {}
    static std::unique_ptr<SimDrive> Load(const std::string& path);

    MotionModel& Motion() noexcept { return *m_motion; }
    FaultInjector& Faults() noexcept { return *m_faults; }
    // A motor turning on its own (Motion().SetSpeed) moves before the tick is raised.
    void RaiseTimerTick() override {
        m_motion->Advance();
        model::DriveModel::RaiseTimerTick();
    }

private:
    SimDrive(const model::Profile& profile, std::shared_ptr<FaultInjector> faults);

    std::shared_ptr<FaultInjector> m_faults;
    std::unique_ptr<MotionModel> m_motion;
};

}  // namespace vor::sim

// The names above as hosts know them, in vor.
namespace vor {
using sim::SimDrive;
}  // namespace vor
