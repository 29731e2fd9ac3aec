#pragma once

#include <QWidget>

#include "apps/demo/DriveLog.h"

namespace vor::demo {

// The log with what one does with a log: clear it, and save it to a file for the report.
class LogPane final : public QWidget {
public:
    LogPane(const model::DriveModel& drive, QWidget* parent);

    DriveLog& Log() const noexcept { return *m_log; }

private:
    void Save();

    DriveLog* m_log;
};

}  // namespace vor::demo
