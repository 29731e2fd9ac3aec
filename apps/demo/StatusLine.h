#pragma once

#include <QLabel>

#include "vormotor/drivemodel/DriveModel.h"

namespace vor::demo {

// The drive's state at a glance, for the window's status bar: online, enabled, node state and
// the application's access level, as the panel sees them.
class StatusLine final : public QLabel {
public:
    StatusLine(model::DriveModel& drive, QWidget* parent);

    // Reads the drive again.
    void Refresh();

private:
    model::DriveModel& m_drive;
};

}  // namespace vor::demo
