#include "vormotor/resources/EnableReasonStrings.h"

namespace vor::enable_reason_strings {

void AddEnableReasonStrings(StringTable& table) {
    static constexpr struct {
        std::int32_t id;
        const char* text;
    } kStrings[]{
        {kPanelDisabled, "the panel is disabled by the application"},
        {kNoDrive, "no drive is attached to the panel"},
        {kNotAttached, "the panel is not attached to a drive network"},
        {kAccessLevel, "needs access level %1, the current level is %2"},
        {kAccessLevelUnknown, "needs access level %1, and the drive does not report the current level"},
        {kMissingParameter, "the drive has no parameter %1"},
        {kParameterUnread, "parameter %1 could not be read from the drive"},
        {kNoMotorTypes, "the drive offers no motor type to choose from"},
        {kOneMotorType, "the drive offers only one motor type"},
        {kNoCommOptions, "the drive offers no commutation option to choose from"},
        {kOneCommOption, "the drive offers only one commutation option"},
        {kNoMicrosteps, "the drive offers no microstep setting to choose from"},
        {kOneMicrostep, "the drive offers only one microstep setting"},
        {kCommModeLocked, "the drive does not let the commutation mode be changed now"},
        {kMotorTypeLocked, "the drive does not let the motor type be changed now"},
        {kCommModeAsText, "the drive network shows the commutation option as text only"},
        {kParameterLockLevel, "parameter %1 needs lock level %2, the access level is %3"},
        {kNoCommInvert, "the motor type %1 has no commutation invert"},
        {kNoSensorChoice, "the motor type %1 has no choice between sensors and sensorless start"},
        {kSensorlessStart, "the motor is set to start without sensors, so the Hall sensor state does not apply"},
        {kNoSensorState, "the commutation mode \"%1\" shows no sensor state"},
        {kFrameDisabled, "the frame \"%1\" is disabled: %2"},
        {kContainerDisabled, "the containing frame is disabled: %1"},
        {kNotRechecked,
         "the panel has not checked this control again since the drive's last change; it will on the next change "
         "of the access level or of the panel's enabled state"},
        {kNotReadable,
         "the drive did not answer when the panel last checked this control, so it keeps its earlier state"},
    };
    for (const auto& [id, text] : kStrings) {
        table.Add(id, text);
    }
}

}  // namespace vor::enable_reason_strings
