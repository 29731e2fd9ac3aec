#pragma once

#include <QPlainTextEdit>
#include <cstddef>
#include <string_view>

#include "vormotor/drivesim/SimDrive.h"

namespace vor::demo {

// A live log of what the panel did to the drive: its writes and its trace lines, each shown once,
// and whatever else the demo reports.
class DriveLog final : public QPlainTextEdit {
public:
    DriveLog(const SimDrive& drive, QWidget* parent);

    // Appends the writes and trace lines that came since the last call.
    void CatchUp();
    void Append(std::string_view line);

private:
    const SimDrive& m_drive;
    std::size_t m_writesShown = 0;
    std::size_t m_traceShown = 0;
};

}  // namespace vor::demo
