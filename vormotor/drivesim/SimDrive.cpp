#include "vormotor/drivesim/SimDrive.h"

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"
#include "vormotor/drivesim/ProfileLoader.h"

namespace vor {

SimDrive::SimDrive(const Profile& profile)
    : m_name(profile.name),
      m_appEvents(std::make_shared<SimAppEvents>(m_host, profile.techSupport)),
      m_lock(std::make_shared<SimLock>(m_host, profile.accessLevel)),
      m_traceSink(std::make_shared<SimTraceSink>(m_host, profile.traceFlags)),
      m_network(std::make_shared<SimNetwork>(m_host, m_appEvents, m_lock, m_traceSink, profile.commModeSelectable)),
      m_node(std::make_shared<SimNode>(profile, m_host, m_lock)),
      m_motion(std::make_unique<MotionModel>(m_node->Io(),
                                             profile.angleParam ? m_node->DriveParam(*profile.angleParam) : nullptr,
                                             profile.angleStep, profile.hallSequence)) {}

std::unique_ptr<SimDrive> SimDrive::Load(const std::string& path) {
    return std::make_unique<SimDrive>(ProfileLoader::LoadFile(path));
}

void SimDrive::SetParam(std::int32_t param, double number) {
    m_node->DriveParam(param)->DriveSetNumber(number);
}

void SimDrive::SetField(std::int32_t param, const std::string& field, std::int32_t value) {
    m_node->DriveParam(param)->DriveSetField(field, value);
}

double SimDrive::ParamNumber(std::int32_t param) const {
    return m_node->DriveParam(param)->DriveNumber();
}

std::int32_t SimDrive::FieldValue(std::int32_t param, const std::string& field) const {
    return m_node->DriveParam(param)->DriveFieldValue(field);
}

void SimDrive::SetValueNameVisible(std::int32_t param, const std::string& field, std::int32_t code, bool visible) {
    const auto bitField = m_node->DriveParam(param)->FindField(field);
    const auto entry = bitField->FindValueName(code);
    if (!entry) {
        throw Error(
            error_number::KeyNotFound, "drivesim",
            "Field \"" + field + "\" of parameter " + DecimalText(param) + " has no value " + DecimalText(code));
    }
    if (entry->IsVisible() != visible) {
        entry->DriveSetVisible(visible);
        bitField->RaiseUpdateView();
    }
}

void SimDrive::SetFieldEditable(std::int32_t param, const std::string& field, bool editable) {
    m_node->DriveParam(param)->DriveSetEditable(field, editable);
}

void SimDrive::SetLockLevel(std::int32_t param, std::int32_t level) {
    m_node->DriveParam(param)->DriveSetLockLevel(level);
}

void SimDrive::SetMotorTypeVisible(std::int32_t code, bool visible) {
    m_node->MotorType(code)->DriveSetVisible(visible);
}

void SimDrive::SetMicrostepVisible(std::int32_t code, bool visible) {
    m_node->Microstep(code)->DriveSetVisible(visible);
}

}  // namespace vor
