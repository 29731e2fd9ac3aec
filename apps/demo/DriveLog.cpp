#include "apps/demo/DriveLog.h"

#include <QFile>
#include <QFontDatabase>
#include <QTextStream>
#include <QTime>
#include <vector>

namespace vor::demo {
namespace {

constexpr int kMaxLines = 5000;

// Shows the entries after `shown` and returns how many there are; a log that was cleared starts
// again from its beginning.
template <class Entry, class Show>
std::size_t ShowNew(const std::vector<Entry>& entries, std::size_t shown, Show show) {
    if (entries.size() < shown) {
        shown = 0;
    }
    for (std::size_t i = shown; i < entries.size(); ++i) {
        show(entries[i]);
    }
    return entries.size();
}

}  // namespace

DriveLog::DriveLog(const model::DriveModel& drive, QWidget* parent) : QPlainTextEdit(parent), m_drive(drive) {
    setReadOnly(true);
    setMaximumBlockCount(kMaxLines);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void DriveLog::CatchUp() {
    m_writesShown = ShowNew(m_drive.Writes(), m_writesShown,
                            [this](const model::DriveWrite& write) { Append("write " + write.Json()); });
    m_traceShown =
        ShowNew(m_drive.TraceLines(), m_traceShown, [this](const std::string& line) { Append("trace " + line); });
}

void DriveLog::Append(std::string_view line) {
    appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz ")) +
                    QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

bool DriveLog::SaveTo(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        return false;
    }
    QTextStream out(&file);
    out << toPlainText() << '\n';
    out.flush();
    return out.status() == QTextStream::Ok && file.error() == QFileDevice::NoError;
}

}  // namespace vor::demo
