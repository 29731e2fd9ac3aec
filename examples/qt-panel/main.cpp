// motor-page [--ticks N]: the motor settings panel in a Qt window on the simulated servo drive, as a
// set-up application hosts it. With --ticks N it stops after N timer ticks and prints what the panel
// shows; without a screen, run it with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vormotor/drivesim/SimDrive.h>
#include <vormotor/editors/EditorClasses.h>
#include <vormotor/panel/MotorForm.h>
#include <vormotor/panel/PanelClasses.h>
#include <vormotor/qt/PanelView.h>
#include <vormotor/qt/QtCursor.h>
#include <vormotor/qt/QtMessageBox.h>
#include <vormotor/toolkit/ComboBox.h>

namespace {

constexpr int kTickMilliseconds = 100;

int TicksToRun(int argc, char** argv) {
    return argc == 3 && std::string(argv[1]) == "--ticks" ? std::stoi(argv[2]) : 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int ticks = TicksToRun(argc, argv);
    try {
        // The drive network library's side: here a simulated drive from a shipped profile.
        std::unique_ptr<vor::SimDrive> drive = vor::SimDrive::Load(VOR_PROFILE_DIR "/servo.json");

        // The editor controls the form is built from; an application with editors of its own
        // registers those instead, under the same class names.
        vor::EditorClasses::Register();
        // Created by class name, as an application creates the pages it embeds.
        auto panel = std::dynamic_pointer_cast<vor::MotorForm>(vor::CreatePanel(vor::kMotorFormClass));
        QMainWindow window;
        window.setWindowTitle("Motor settings");
        window.setCentralWidget(new vor::PanelView(panel->GetForm()));
        vor::QtCursor busyCursor;
        const auto previousResponder = vor::ModalMessageBox::SetResponder(
            [&window](const vor::MessageBoxRequest& request) { return vor::QtMessageBox::Ask(request, &window); });
        window.show();

        panel->AttachControl(drive->Network(), drive->Node(), nullptr, "MotorPageExample", "Axis 1");

        // The application's timer is the panel's only clock.
        QTimer timer;
        int ticked = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            try {
                drive->RaiseTimerTick();
            } catch (const std::exception& failure) {
                std::cerr << "motor-page: timer tick: " << failure.what() << '\n';
            }
            if (++ticked == ticks) {
                QApplication::quit();
            }
        });
        timer.start(kTickMilliseconds);
        const int result = QApplication::exec();
        timer.stop();

        const std::string motorType = panel->GetForm().FindAs<vor::ComboBox>("MotorStyleCombo").Text();
        std::cout << "motor-page: " << ticked << " ticks, motor type \"" << motorType << "\", panel "
                  << (panel->Enabled() ? "enabled" : "not enabled") << '\n';
        panel->ReleaseControl();
        vor::ModalMessageBox::SetResponder(previousResponder);
        return result != 0 || motorType.empty() ? 1 : 0;
    } catch (const std::exception& failure) {
        std::cerr << "motor-page: " << failure.what() << '\n';
        return 1;
    }
}
