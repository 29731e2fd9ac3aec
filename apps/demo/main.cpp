// vormotor-demo: the motor settings panel in a window, on a simulated drive.
#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QImageWriter>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "apps/common/CommandLine.h"
#include "apps/demo/DemoOptions.h"
#include "apps/demo/DemoWindow.h"
#include "apps/demo/InputScript.h"
#include "vormotor/qt/QtEnvironment.h"
#include "vormotor/script/ProgramDrive.h"
#include "vormotor/script/ScriptLine.h"

namespace {

// The picture's format is the one its suffix names, as a user expects; none or an unknown one is refused
// rather than written under a misleading name.
std::optional<std::string> PictureFormatProblem(const std::string& file) {
    if (file.empty()) {
        return std::nullopt;
    }
    const QByteArray suffix = QFileInfo(QString::fromStdString(file)).suffix().toLower().toUtf8();
    if (QImageWriter::supportedImageFormats().contains(suffix)) {
        return std::nullopt;
    }
    QStringList known;
    for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
        known << QString::fromUtf8(format);
    }
    return "no picture format named by its suffix; it can be one of " + known.join(", ").toStdString();
}

// A platform chosen by the user counts as a display: QT_QPA_PLATFORM=offscreen runs the window
// unseen, as asked.
bool HasDisplay() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

// Stops the clock, plays the user input through the event loop and runs the ticks, so that the
// same command line always shows the same state. Returns the first problem with the input.
QString Settle(vor::demo::DemoWindow& window, const vor::demo::DemoOptions& options) {
    window.SetTimerRunning(false);
    const auto script = vor::demo::InputScript::Parse(options.actions);
    QString problem;
    bool finished = false;
    QEventLoop played;
    script.Play(window, [&](const QString& first) {
        problem = first;
        finished = true;
        played.quit();
    });
    // An empty script, or one that fails at its first step, is over before the loop starts.
    if (!finished) {
        played.exec();
    }
    window.Tick(options.ticks);
    return problem;
}

int Screenshot(vor::demo::DemoWindow& window, const vor::demo::DemoOptions& options) {
    vor::Control* tipOf = nullptr;
    if (!options.tip.empty()) {
        const vor::script::ControlRef ref = vor::script::ParseControlRef(options.tip);
        auto& form = window.Panel().GetForm();
        tipOf = ref.index ? &form.Find(ref.name, *ref.index) : &form.Find(ref.name);
        if (window.ReasonTips().TipOf(*tipOf).isEmpty()) {
            std::cerr << "vormotor-demo: " << options.tip << " can be operated: it has no reason to show\n";
            return 1;
        }
    }
    const QImage picture = window.Render(tipOf);
    if (!picture.save(QString::fromStdString(options.screenshot))) {
        std::cerr << "vormotor-demo: cannot write " << options.screenshot << '\n';
        return 1;
    }
    std::cout << "vormotor-demo: wrote " << options.screenshot << " (" << picture.width() << "x" << picture.height()
              << ")\n";
    return 0;
}

int Freeze(vor::demo::DemoWindow& window) {
    window.Render();
    std::cout << "vormotor-demo: ready, window 0x" << std::hex << window.winId() << std::dec << std::endl;
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    vor::app::CommandLine commandLine("vormotor-demo", std::string(vor::demo::DemoOptions::kDescription));
    vor::demo::DemoOptions options;
    vor::demo::DemoOptions::Declare(commandLine.Options(), options);
    if (const auto status = commandLine.Parse(argc, argv)) {
        return *status;
    }
    try {
        vor::demo::InputScript::Parse(options.actions);
    } catch (const std::exception& failure) {
        return commandLine.UsageError("--actions: " + std::string(failure.what()));
    }
    if (const auto problem = PictureFormatProblem(options.screenshot)) {
        return commandLine.UsageError("--screenshot " + options.screenshot + ": " + *problem);
    }
    if (!HasDisplay()) {
        if (options.screenshot.empty()) {
            std::cerr << "vormotor-demo: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not "
                         "set); --screenshot FILE.png draws it into a picture instead\n";
            return 1;
        }
        // A picture needs no screen: Qt draws off screen.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    vor::qt::PrepareQtEnvironment();
    QApplication app(argc, argv);
    if (const QString display = vor::qt::UnreachableDisplay(); !display.isEmpty()) {
        std::cerr << "vormotor-demo: cannot open the window on the X display \"" << display.toStdString()
                  << "\" (DISPLAY): no X server can be reached there\n";
        return 1;
    }
    try {
        auto loaded = vor::script::ProgramDrive::Load(options.profile, options.connect);
        const bool simulated = loaded.simulated != nullptr;
        std::unique_ptr<vor::model::DriveModel> drive;
        if (simulated) {
            loaded.simulated->Motion().SetSpeed(options.speed);
            if (options.accessLevel) {
                loaded.simulated->SetAccessLevel(*options.accessLevel);
            }
            drive = std::move(loaded.simulated);
        } else {
            // The drive, its motor and its side belong to the server; the window shows the link's copy.
            drive = std::move(loaded.connected.drive);
        }
        vor::demo::DemoWindow window(std::move(drive));
        window.Side().setEnabled(simulated);
        window.Start();
        if (!options.Still() && options.actions.empty()) {
            return QApplication::exec();
        }
        if (const QString problem = Settle(window, options); !problem.isEmpty()) {
            std::cerr << "vormotor-demo: --actions: " << problem.toStdString() << '\n';
            return 1;
        }
        if (!options.Still()) {
            window.SetTimerRunning(true);
            return QApplication::exec();
        }
        return options.freeze ? Freeze(window) : Screenshot(window, options);
    } catch (const std::exception& failure) {
        std::cerr << "vormotor-demo: " << failure.what() << '\n';
        return 2;
    }
}
