// Frames and captions that follow the motor type and the drive's parameters.
#include "vormotor/contracts/Tarvine.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/toolkit/Frame.h"

namespace vor {
namespace {

using namespace motor_form;

bool IsStepper(std::int32_t motorType) {
    return motorType == 4 || motorType == 5;
}

}  // namespace

void MotorForm::ShowMotorTypeFrames() {
    if (m_node.IsNothing()) {
        return;
    }
    auto& sensorFrame = m_form.Find("CommSensorFrame");
    auto& stepperFrame = m_form.Find("StepperFrame");
    // The frame being hidden goes first, so the two never show together.
    if (IsStepper(m_fldMotorType->Value())) {
        sensorFrame.SetVisible(false);
        stepperFrame.SetVisible(true);
        stepperFrame.Refresh();
    } else {
        stepperFrame.SetVisible(false);
        sensorFrame.SetVisible(true);
        sensorFrame.Refresh();
    }
    m_form.Surface().Refresh();
}

void MotorForm::ShowTorqueLoopCaption() {
    auto& poles = dynamic_cast<Tarvine&>(m_form.Find("ParamItem", 9));
    if (!poles.ValueObjRef() || m_node.IsNothing()) {
        return;
    }
    m_form.FindAs<Frame>("trqLoopTuneFrame").SetCaption(m_node->ExpandText(LoadString(kTorqueLoopCaption)));
}

void MotorForm::ShowRmsTimeCaption() {
    if (m_node.IsNothing() || m_iMax.IsNothing()) {
        return;
    }
    m_form.FindAs<Frame>("JamFrame").SetCaption(Ref(m_node->Param(kRmsTimeConstant))->Info().Text());
}

void MotorForm::m_rmsTC_ContentChanged() {
    m_form.FindAs<Frame>("JamFrame").SetCaption(m_rmsTC->Content().Text());
}

void MotorForm::m_rmsLimit_ContentChanged() {
    ShowRmsTimeCaption();
}

}  // namespace vor
