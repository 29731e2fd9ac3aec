#pragma once

#include <memory>
#include <string>

#include "vormotor/drivesim/ProfileLoader.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/panel/MotorForm.h"

namespace vor::bench {

inline const char* const kProfiles[] = {"servo", "stepper"};

inline std::unique_ptr<SimDrive> LoadDrive(const std::string& profile) {
    return std::make_unique<SimDrive>(ProfileLoader::LoadFile(std::string(VOR_PROFILE_DIR) + "/" + profile + ".json"));
}

// A panel attached to a simulated drive, with the attach's list refreshes served. The panel's
// own values have no drive behind them, as in the programs, so only the panel's calls into the
// drive reach the drive.
class AttachedPanel {
public:
    explicit AttachedPanel(const std::string& profile) : m_drive(LoadDrive(profile)) {
        EditorClasses::Register();
        m_panel = MotorForm::Create();
        Attach();
        m_drive->RaiseTimerTick();
    }
    ~AttachedPanel() { m_panel.reset(); }
    AttachedPanel(const AttachedPanel&) = delete;
    AttachedPanel& operator=(const AttachedPanel&) = delete;

    void Attach() { m_panel->AttachControl(m_drive->Network(), m_drive->Node(), nullptr, "", ""); }
    MotorForm& Panel() { return *m_panel; }
    SimDrive& Drive() { return *m_drive; }

private:
    std::unique_ptr<SimDrive> m_drive;
    std::shared_ptr<MotorForm> m_panel;
};

}  // namespace vor::bench
