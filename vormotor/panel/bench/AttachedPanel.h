#pragma once

#include <memory>
#include <string>

#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/valuelib/ValueFactory.h"

namespace vor::bench {

inline const char* const kProfiles[] = {"servo", "stepper"};

// A panel attached to a simulated drive, with the attach's list refreshes served.
class AttachedPanel {
public:
    explicit AttachedPanel(const std::string& profile)
        : m_drive(std::make_unique<SimDrive>(
              ProfileLoader::LoadFile(std::string(VOR_PROFILE_DIR) + "/" + profile + ".json"))) {
        EditorClasses::Register();
        m_previousHost = ValueFactory::SetHost(m_drive->Host());
        m_panel = MotorForm::Create();
        Attach();
        m_drive->RaiseTimerTick();
    }
    ~AttachedPanel() {
        m_panel.reset();
        ValueFactory::SetHost(m_previousHost);
    }
    AttachedPanel(const AttachedPanel&) = delete;
    AttachedPanel& operator=(const AttachedPanel&) = delete;

    void Attach() { m_panel->AttachControl(m_drive->Network(), m_drive->Node(), nullptr, "", ""); }
    MotorForm& Panel() { return *m_panel; }
    SimDrive& Drive() { return *m_drive; }

private:
    std::unique_ptr<SimDrive> m_drive;
    std::shared_ptr<ValueHost> m_previousHost;
    std::shared_ptr<MotorForm> m_panel;
};

}  // namespace vor::bench
