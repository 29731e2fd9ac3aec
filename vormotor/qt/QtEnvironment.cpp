#include "vormotor/qt/QtEnvironment.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QtGlobal>
#include <unistd.h>

namespace vor::qt {
namespace {

QtMessageHandler g_previousHandler = nullptr;
// The display Qt may fall back from; empty when no fallback was arranged.
QString g_fallbackFrom;

constexpr const char* kX11Platform = "xcb";
constexpr const char* kOffscreenPlatform = "offscreen";

bool IsDroppedNotice(QtMsgType type, const QString& message) {
    // The program names the display it could not reach itself, in one line.
    if (!g_fallbackFrom.isEmpty() && (message.startsWith(QLatin1String("could not connect to display")) ||
                                      message.startsWith(QLatin1String("Could not load the Qt platform plugin")))) {
        return true;
    }
    return type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"));
}

void DropMissingWindowFeatures(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (IsDroppedNotice(type, message)) {
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

// Qt tries the platforms of a list in turn: after X11 the offscreen one, which always starts.
void ArrangeDisplayFallback() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if ((!platform.isEmpty() && platform != kX11Platform) || qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        return;
    }
    g_fallbackFrom = qEnvironmentVariable("DISPLAY");
    qputenv("QT_QPA_PLATFORM", QByteArray(kX11Platform) + ';' + kOffscreenPlatform);
}

}  // namespace

QString UnreachableDisplay() {
    return !g_fallbackFrom.isEmpty() && QGuiApplication::platformName() == QLatin1String(kOffscreenPlatform)
               ? g_fallbackFrom
               : QString();
}

void PrepareQtEnvironment() {
    MakeRuntimeDirectory();
    ArrangeDisplayFallback();
    static const bool installed = [] {
        g_previousHandler = qInstallMessageHandler(&DropMissingWindowFeatures);
        return true;
    }();
    (void)installed;
}

}  // namespace vor::qt
