#pragma once

#include <QLabel>

#include "vormotor/drivesim/SimDrive.h"

namespace vor::demo {

// The drive's state at a glance, for the window's status bar: online, enabled, node state and
// the application's access level, as the panel sees them.
class StatusLine final : public QLabel {
public:
    StatusLine(SimDrive& drive, QWidget* parent);

    // Reads the drive again.
    void Refresh();

private:
    SimDrive& m_drive;
};

}  // namespace vor::demo
