#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/panel/EnableReason.h"
#include "vormotor/panel/MotorFormImpl.h"

namespace vor {

// Explains why the user cannot operate a control of the panel: the rule that decides it and the
// rules of its containers, with the conditions that are false now. It evaluates the rows the
// walk applies, on values read afresh, and only reads: no control changes, nothing is written to
// the drive and no trace line is written.
class MotorFormEnableReasons {
public:
    explicit MotorFormEnableReasons(MotorForm::Impl& panel) : m_panel(panel) {}

    std::vector<EnableReason> For(Control& control);

private:
    using Reasons = std::vector<EnableReason>;

    // The false conditions of the rule that decides `control` itself; `unreadable` is set when
    // a condition could not be read.
    Reasons OwnReasons(Control& control, bool& unreadable);
    Reasons EditorReasons(Tarvine* editor);
    void AddConditionReasons(EnableCondition condition, Control& control, Reasons& reasons);

    // One function per condition, each adding why that condition is false.
    void MissingMotorConfiguration(Control&, Reasons& reasons);
    void MissingNode(Control&, Reasons& reasons);
    void MissingMicrostepParameter(Control&, Reasons& reasons);
    void NoChoice(Control& control, Reasons& reasons);
    void NoFullAccess(Control&, Reasons& reasons);
    void NoTuningAccess(Control&, Reasons& reasons);
    void PanelDisabled(Control&, Reasons& reasons);
    void CommModeLocked(Control&, Reasons& reasons);
    void MotorTypeLocked(Control&, Reasons& reasons);
    void CommModeAsText(Control&, Reasons& reasons);
    void MicrostepLockLevel(Control&, Reasons& reasons);
    void NoCommInvert(Control&, Reasons& reasons);
    void NoSensorChoice(Control&, Reasons& reasons);
    void SensorlessStart(Control&, Reasons& reasons);
    void NoSensorState(Control&, Reasons& reasons);

    void AccessReasons(std::int32_t needed, Reasons& reasons);
    void MissingParameter(std::int32_t number, Reasons& reasons);
    std::string MotorTypeName();
    EnableReason Reason(std::int32_t id, std::initializer_list<std::string_view> values = {}) const;

    MotorForm::Impl& m_panel;
};

}  // namespace vor
