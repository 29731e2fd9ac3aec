// vormotor-demo: the motor settings panel in a window, on a simulated drive.
#include <QApplication>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "apps/demo/DemoOptions.h"
#include "apps/demo/DemoWindow.h"
#include "apps/host/BuiltinProfiles.h"
#include "vormotor/drivesim/ProfileLoader.h"
#include "vormotor/netdrive/NetLink.h"

namespace {

std::unique_ptr<vor::SimDrive> LoadDrive(const std::string& profile) {
    if (const auto text = vor::host::BuiltinProfile(profile)) {
        return std::make_unique<vor::SimDrive>(vor::ProfileLoader::Parse(std::string(*text), profile + ".json"));
    }
    return vor::SimDrive::Load(profile);
}

bool HasDisplay() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

int Screenshot(vor::demo::DemoWindow& window, const vor::demo::DemoOptions& options) {
    window.SetTimerRunning(false);
    window.Tick(options.ticks);
    const QImage picture = window.Render();
    if (!picture.save(QString::fromStdString(options.screenshot), "PNG")) {
        std::cerr << "vormotor-demo: cannot write " << options.screenshot << '\n';
        return 1;
    }
    std::cout << "vormotor-demo: wrote " << options.screenshot << " (" << picture.width() << "x" << picture.height()
              << ")\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    vor::demo::DemoOptions options;
    try {
        options = vor::demo::DemoOptions::Parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& failure) {
        std::cerr << "vormotor-demo: " << failure.what() << '\n' << vor::demo::DemoOptions::kUsage;
        return 2;
    }
    if (options.help) {
        std::cout << vor::demo::DemoOptions::kUsage;
        return 0;
    }
    // A picture needs no screen: without one, Qt draws off screen.
    if (!options.screenshot.empty() && !HasDisplay()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    try {
        std::unique_ptr<vor::SimDrive> drive;
        std::shared_ptr<vor::netdrive::NetLink> link;
        if (options.connect.empty()) {
            drive = LoadDrive(options.profile);
            drive->Motion().SetSpeed(options.speed);
        } else {
            // The drive, its motor and its side belong to the server; the window shows the link's copy.
            auto connected = vor::netdrive::NetLink::Connect(vor::netdrive::LinkOptions::FromEndpoint(options.connect));
            drive = std::move(connected.drive);
            link = std::move(connected.link);
        }
        vor::demo::DemoWindow window(std::move(drive));
        window.Side().setEnabled(link == nullptr);
        window.Start();
        return options.screenshot.empty() ? QApplication::exec() : Screenshot(window, options);
    } catch (const std::exception& failure) {
        std::cerr << "vormotor-demo: " << failure.what() << '\n';
        return 2;
    }
}
