#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <cstddef>
#include <string_view>

#include "vormotor/drivemodel/DriveModel.h"

namespace vor::demo {

// A live log of what the panel did to the drive: its writes and its trace lines, each shown once,
// and whatever else the demo reports. Every line starts with the time of day it was logged.
class DriveLog final : public QPlainTextEdit {
public:
    DriveLog(const model::DriveModel& drive, QWidget* parent);

    // Appends the writes and trace lines that came since the last call.
    void CatchUp();
    void Append(std::string_view line);
    // Writes what the log shows to `path`; false when the file cannot be written.
    bool SaveTo(const QString& path) const;

private:
    const model::DriveModel& m_drive;
    std::size_t m_writesShown = 0;
    std::size_t m_traceShown = 0;
};

}  // namespace vor::demo
