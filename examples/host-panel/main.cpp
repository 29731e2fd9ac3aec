// host-panel: the motor settings panel hosted without a window, on the simulated servo drive: created,
// shown and sized, attached, read and written by control names, its safety question answered, released.
#include <exception>
#include <iostream>
#include <memory>
#include <vormotor/drivesim/SimDrive.h>
#include <vormotor/editors/EditorClasses.h>
#include <vormotor/editors/TarvineEditor.h>
#include <vormotor/panel/MotorForm.h>
#include <vormotor/toolkit/ComboBox.h>

int main() {
    try {
        // The drive network library's side: here a simulated drive, enabled, so that changing its motor
        // type asks first.
        auto drive = vor::SimDrive::Load(VOR_PROFILE_DIR "/servo.json");
        drive->SetDriveEnabled(true);

        // 1. Register the editor controls the form is built from, create the panel, then show it and
        //    give it its size: twips, 15 to a pixel at 96 dpi.
        vor::EditorClasses::Register();
        std::shared_ptr<vor::MotorForm> panel = vor::MotorForm::Create();
        vor::PanelSurface& surface = panel->GetForm().Surface();
        surface.Show();
        surface.Resize(850 * 15, 380 * 15);

        // 2. Who answers the safety question; without an answer the motor type stays as it is.
        panel->SetMessageResponder([](const vor::MessageBoxRequest& request) {
            std::cout << "host-panel: asked \"" << request.title << "\", answered OK\n";
            return vor::MessageBoxResult::Ok;
        });

        // 3. Attach it to one node of the drive network, then raise the application's timer tick.
        panel->AttachControl(drive->Network(), drive->Node(), nullptr, "HostPanelExample", "Axis 1");
        drive->RaiseTimerTick();

        // 4. Read controls by their names (docs/embedding.md lists them).
        vor::Form& form = panel->GetForm();
        auto& motorType = form.FindAs<vor::ComboBox>("MotorStyleCombo");
        auto& poles = form.FindAs<vor::TarvineEditor>("ParamItem", 9);
        std::cout << "host-panel: motor type \"" << motorType.Text() << "\", " << poles.Caption() << " "
                  << poles.Text() << "\n";

        // 5. Write through them as the user would: the panel checks, writes to the drive and shows it.
        if (!poles.UserEdit("6")) {
            std::cerr << "host-panel: " << poles.Message() << "\n";
            return 1;
        }
        for (int item = 0; item < motorType.ListCount(); ++item) {
            if (motorType.List(item) == "Brushless Linear") {
                motorType.UserPick(item);
            }
        }
        drive->RaiseTimerTick();
        std::cout << "host-panel: motor type \"" << motorType.Text() << "\", " << poles.Caption() << " "
                  << poles.Text() << ", " << drive->Writes().size() << " writes\n";

        // 6. Release it when the page goes away; destroying the panel would release it too.
        panel->ReleaseControl();
        return 0;
    } catch (const std::exception& failure) {
        std::cerr << "host-panel: " << failure.what() << '\n';
        return 1;
    }
}
