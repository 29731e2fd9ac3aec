#include "apps/demo/StatusLine.h"

#include <QStringList>
#include <exception>
#include <functional>
#include <vector>

namespace vor::demo {
namespace {

QString YesNo(bool on, const char* yes, const char* no) {
    return QString::fromLatin1(on ? yes : no);
}

// The parts of the line, in the order they are shown.
const std::vector<std::function<QString(model::DriveModel&)>>& Parts() {
    static const std::vector<std::function<QString(model::DriveModel&)>> parts{
        [](model::DriveModel& d) { return YesNo(d.Node()->IsOnline(), "Online", "Offline"); },
        [](model::DriveModel& d) { return YesNo(d.DriveEnabled(), "Drive enabled", "Drive disabled"); },
        [](model::DriveModel& d) { return QStringLiteral("Node state %1").arg(d.Node()->NodeState()); },
        [](model::DriveModel& d) { return QStringLiteral("Access level %1").arg(d.AccessLevel()); },
    };
    return parts;
}

}  // namespace

StatusLine::StatusLine(model::DriveModel& drive, QWidget* parent) : QLabel(parent), m_drive(drive) {
    setAccessibleName(QStringLiteral("Drive status"));
    Refresh();
}

// A part the drive cannot answer (a fault injected by a test profile) shows as unknown rather
// than ending the refresh.
void StatusLine::Refresh() {
    QStringList shown;
    for (const auto& part : Parts()) {
        try {
            shown.append(part(m_drive));
        } catch (const std::exception&) {
            shown.append(QStringLiteral("?"));
        }
    }
    setText(shown.join(QStringLiteral("  |  ")));
}

}  // namespace vor::demo
