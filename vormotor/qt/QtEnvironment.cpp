#include "vormotor/qt/QtEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>
#include <unistd.h>

namespace vor {
namespace {

QtMessageHandler g_previousHandler = nullptr;

void DropMissingWindowFeatures(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (g_previousHandler != nullptr) {
        g_previousHandler(type, context, message);
    }
}

// Qt wants the directory private to the user (0700), as the session's would be.
void MakeRuntimeDirectory() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        return;
    }
    const QString path = QDir::tempPath() + QStringLiteral("/vormotor-runtime-%1").arg(::getuid());
    if (!QDir().mkpath(path) ||
        !QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        return;  // Qt falls back to its own choice and says so
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path));
}

}  // namespace

void PrepareQtEnvironment() {
    MakeRuntimeDirectory();
    static const bool installed = [] {
        g_previousHandler = qInstallMessageHandler(&DropMissingWindowFeatures);
        return true;
    }();
    (void)installed;
}

}  // namespace vor
