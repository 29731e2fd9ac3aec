#include "vormotor/panel/form/ControlHandles.h"

#include <algorithm>
#include <string_view>

namespace vor {
namespace {

std::vector<Control*> ArrayElements(const Form& form, std::string_view name) {
    std::vector<Control*> elements;
    for (Control* control : form.Controls()) {
        if (control->Name() == name && control->Index()) {
            elements.push_back(control);
        }
    }
    std::sort(elements.begin(), elements.end(),
              [](const Control* a, const Control* b) { return *a->Index() < *b->Index(); });
    return elements;
}

}  // namespace

ControlHandles::ControlHandles(const Form& form)
    : motorFrame(form.FindAs<Frame>("MotorFrame")),
      commSensorFrame(form.FindAs<Frame>("CommSensorFrame")),
      stepperFrame(form.FindAs<Frame>("StepperFrame")),
      jamFrame(form.FindAs<Frame>("JamFrame")),
      trqLoopTuneFrame(form.FindAs<Frame>("trqLoopTuneFrame")),
      motorStyleCombo(form.FindAs<ComboBox>("MotorStyleCombo")),
      commModeCombo(form.FindAs<ComboBox>("CommModeCombo")),
      microstepCombo(form.FindAs<ComboBox>("MicrostepCombo")),
      commOptionLbl(form.FindAs<Label>("CommOptionLbl")),
      commutationLbl(form.FindAs<Label>("CommutationLbl")),
      transLbl(form.FindAs<Label>("transLbl")),
      bitDisplayLbl(form.FindAs<Label>("BitDisplayLbl")),
      mtrFeatureLine{&form.FindAs<Line>("mtrFeatureLine", 0), &form.FindAs<Line>("mtrFeatureLine", 1)},
      sensorlessRadioGrp(form.Find("SensorlessRadioGrp")),
      motorPoles(form.Find("ParamItem", 9)),
      paramItem(ArrayElements(form, "ParamItem")),
      configRadioGrp(ArrayElements(form, "ConfigRadioGrp")) {}

}  // namespace vor
