#pragma once

#include <memory>
#include <string>

#include "vormotor/drivemodel/DriveModel.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/bench/DriveCalls.h"

namespace vor::bench {

inline const char* const kProfiles[] = {"servo", "stepper"};

// A drive of the profile behind a call recorder, which records only when asked to.
inline std::unique_ptr<model::DriveModel> LoadDrive(
    const std::string& profile, std::shared_ptr<DriveCallRecorder> recorder = std::make_shared<DriveCallRecorder>()) {
    return std::make_unique<model::DriveModel>(
        model::ProfileLoader::LoadFile(std::string(VOR_PROFILE_DIR) + "/" + profile + ".json"), std::move(recorder));
}

// A panel attached to a simulated drive, with the attach's list refreshes served. The panel's
// own values have no drive behind them, as in the programs, so only the panel's calls into the
// drive reach the drive.
class AttachedPanel {
public:
    explicit AttachedPanel(const std::string& profile) : m_drive(LoadDrive(profile, m_recorder)) {
        editors::EditorClasses::Register();
        m_panel = MotorForm::Create();
        Attach();
        m_drive->RaiseTimerTick();
    }
    ~AttachedPanel() { m_panel.reset(); }
    AttachedPanel(const AttachedPanel&) = delete;
    AttachedPanel& operator=(const AttachedPanel&) = delete;

    void Attach() { m_panel->AttachControl(m_drive->Network(), m_drive->Node(), nullptr, "", ""); }
    MotorForm& Panel() { return *m_panel; }
    model::DriveModel& Drive() { return *m_drive; }
    DriveCallRecorder& Recorder() { return *m_recorder; }

private:
    std::shared_ptr<DriveCallRecorder> m_recorder = std::make_shared<DriveCallRecorder>();
    std::unique_ptr<model::DriveModel> m_drive;
    std::shared_ptr<MotorForm> m_panel;
};

}  // namespace vor::bench
