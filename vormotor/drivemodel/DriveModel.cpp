#include "vormotor/drivemodel/DriveModel.h"

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"
#include "vormotor/drivemodel/ProfileLoader.h"

namespace vor::model {

DriveModel::DriveModel(const Profile& profile, std::shared_ptr<DriveBackEnd> backEnd)
    : m_name(profile.name),
      m_host(std::make_shared<ModelHost>(std::move(backEnd))),
      m_appEvents(std::make_shared<ModelAppEvents>(m_host, profile.techSupport)),
      m_lock(std::make_shared<ModelLock>(m_host, profile.accessLevel)),
      m_traceSink(std::make_shared<ModelTraceSink>(m_host, profile.traceFlags)),
      m_network(std::make_shared<ModelNetwork>(m_host, m_appEvents, m_lock, m_traceSink, profile.commModeSelectable)),
      m_node(std::make_shared<ModelNode>(profile, m_host, m_lock)) {}

std::unique_ptr<DriveModel> DriveModel::Load(const std::string& path) {
    return std::make_unique<DriveModel>(ProfileLoader::LoadFile(path));
}

void DriveModel::SetParam(std::int32_t param, double number) {
    m_node->DriveParam(param)->DriveSetNumber(number);
}

void DriveModel::SetField(std::int32_t param, const std::string& field, std::int32_t value) {
    m_node->DriveParam(param)->DriveSetField(field, value);
}

double DriveModel::ParamNumber(std::int32_t param) const {
    return m_node->DriveParam(param)->DriveNumber();
}

std::int32_t DriveModel::FieldValue(std::int32_t param, const std::string& field) const {
    return m_node->DriveParam(param)->DriveFieldValue(field);
}

void DriveModel::SetValueNameVisible(std::int32_t param, const std::string& field, std::int32_t code, bool visible) {
    const auto bitField = m_node->DriveParam(param)->FindField(field);
    const auto entry = bitField->FindValueName(code);
    if (!entry) {
        throw Error(
            error_number::KeyNotFound, "drivemodel",
            "Field \"" + field + "\" of parameter " + DecimalText(param) + " has no value " + DecimalText(code));
    }
    if (entry->IsVisible() != visible) {
        entry->DriveSetVisible(visible);
        bitField->RaiseUpdateView();
    }
}

void DriveModel::SetFieldEditable(std::int32_t param, const std::string& field, bool editable) {
    m_node->DriveParam(param)->DriveSetEditable(field, editable);
}

void DriveModel::SetLockLevel(std::int32_t param, std::int32_t level) {
    m_node->DriveParam(param)->DriveSetLockLevel(level);
}

void DriveModel::SetMotorTypeVisible(std::int32_t code, bool visible) {
    m_node->MotorType(code)->DriveSetVisible(visible);
}

void DriveModel::SetMicrostepVisible(std::int32_t code, bool visible) {
    m_node->Microstep(code)->DriveSetVisible(visible);
}

}  // namespace vor::model
