// Headless host. Until the motor panel is built it shows the control tree the panel will be
// made of: a frame with a list, a label and an edge line, and how containment decides what a
// user can operate.
#include <iostream>
#include <string>

#include "toolkit/ComboBox.h"
#include "toolkit/Form.h"
#include "toolkit/Frame.h"
#include "toolkit/Label.h"
#include "toolkit/Line.h"

namespace {

void Print(const vor::Form& form, const vor::Control* container, int depth) {
    for (const vor::Control* control : form.ChildrenOf(container)) {
        std::cout << std::string(static_cast<std::size_t>(depth) * 2, ' ') << control->TypeName() << ' '
                  << control->Name();
        if (control->Index()) {
            std::cout << '(' << *control->Index() << ')';
        }
        std::cout << " at " << control->Left() << ',' << control->Top() << " size " << control->Width() << 'x'
                  << control->Height() << (control->EffectiveEnabled() ? " operable" : " inoperable") << '\n';
        Print(form, control, depth + 1);
    }
}

}  // namespace

int main() {
    vor::Form form(12285, 5460);
    auto& motorFrame = form.Create<vor::Frame>("MotorFrame", std::nullopt);
    motorFrame.Move(0, 15, 12015, 5205);
    auto& namePlate = form.Create<vor::Frame>("MotorNamePlateFrame", std::nullopt);
    namePlate.SetContainer(&motorFrame);
    namePlate.Move(210, 210, 3045, 2260);
    auto& combo = form.Create<vor::ComboBox>("MotorStyleCombo", std::nullopt);
    combo.SetContainer(&namePlate);
    combo.Move(90, 260, 2865, 315);
    auto& label = form.Create<vor::Label>("transLbl", std::nullopt);
    label.SetContainer(&motorFrame);
    label.SetCaption("?->?");
    auto& line = form.Create<vor::Line>("mtrFeatureLine", 0);
    line.SetContainer(&motorFrame);

    std::cout << "Control tree (access granted):\n";
    Print(form, nullptr, 1);
    namePlate.SetEnabled(false);
    std::cout << "Control tree with MotorNamePlateFrame disabled:\n";
    Print(form, nullptr, 1);
    return 0;
}
