// Frames and captions that follow the motor type and the drive's parameters.
#include "vormotor/contracts/Tarvine.h"
#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/panel/MotorFormImpl.h"
#include "vormotor/toolkit/Frame.h"

namespace vor {
namespace {

using namespace motor_form;

bool IsStepper(std::int32_t motorType) {
    return motorType == 4 || motorType == 5;
}

}  // namespace

void MotorForm::Impl::ShowMotorTypeFrames() {
    if (m_node.IsNothing()) {
        return;
    }
    auto& sensorFrame = m_controls.commSensorFrame;
    auto& stepperFrame = m_controls.stepperFrame;
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

void MotorForm::Impl::ShowTorqueLoopCaption() {
    auto& poles = *m_controls.motorPoles;
    if (!poles.ValueObjRef() || m_node.IsNothing()) {
        return;
    }
    m_controls.trqLoopTuneFrame.SetCaption(m_node->ExpandText(LoadString(kTorqueLoopCaption)));
}

void MotorForm::Impl::ShowRmsTimeCaption() {
    if (m_node.IsNothing() || m_iMax.IsNothing()) {
        return;
    }
    m_controls.jamFrame.SetCaption(Ref(m_node->Param(kRmsTimeConstant))->Info().Text());
}

void MotorForm::Impl::m_rmsTC_ContentChanged() {
    m_controls.jamFrame.SetCaption(m_rmsTC->Content().Text());
}

void MotorForm::Impl::m_rmsLimit_ContentChanged() {
    ShowRmsTimeCaption();
}

}  // namespace vor
