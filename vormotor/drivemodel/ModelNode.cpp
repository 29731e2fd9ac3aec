#include "vormotor/drivemodel/ModelNode.h"

#include <algorithm>
#include <utility>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"

namespace vor::model {
namespace {

std::vector<std::shared_ptr<Entry>> AsEntries(const std::vector<std::shared_ptr<valuelib::ValueEntry>>& entries) {
    return std::vector<std::shared_ptr<Entry>>(entries.begin(), entries.end());
}

std::shared_ptr<valuelib::ValueEntry> FindEntry(const std::vector<std::shared_ptr<valuelib::ValueEntry>>& entries,
                                                std::int32_t code, const char* catalogue) {
    const auto found =
        std::find_if(entries.begin(), entries.end(), [code](const auto& entry) { return entry->CodeValue() == code; });
    if (found == entries.end()) {
        throw Error(error_number::KeyNotFound, "drivemodel",
                    std::string("The ") + catalogue + " hold no entry " + DecimalText(code));
    }
    return *found;
}

}  // namespace

ModelNode::ModelNode(const Profile& profile, std::shared_ptr<ModelHost> host, std::shared_ptr<ModelLock> lock)
    : m_host(std::move(host)),
      m_lock(std::move(lock)),
      m_params(Gate(m_host, std::nullopt), "ParamTable"),
      m_io(std::make_shared<ModelIo>(m_host, profile.inputWord)),
      m_expansions(profile.expansions),
      m_motorTypeParam(profile.motorTypeParam),
      m_motorTypeField(profile.motorTypeField),
      m_online(profile.online),
      m_driveEnabled(profile.driveEnabled),
      m_nodeState(profile.nodeState) {
    for (const auto& param : profile.parameters) {
        AddParameter(param);
    }
    const valuelib::Gate catalogueGate(m_host, std::nullopt);
    for (const auto& type : profile.motorTypes) {
        m_motorTypes.push_back(
            std::make_shared<valuelib::ValueEntry>(catalogueGate, type.code, type.name, type.visible));
        m_linearMotorTypes.push_back(type.linear);
    }
    for (const auto& choice : profile.microsteps) {
        m_microsteps.push_back(
            std::make_shared<valuelib::ValueEntry>(catalogueGate, choice.code, choice.name, choice.visible));
    }
}

void ModelNode::DriveSetMicrosteps(const std::vector<std::pair<std::int32_t, std::string>>& choices) {
    const valuelib::Gate catalogueGate(m_host, std::nullopt);
    m_microsteps.clear();
    for (const auto& [code, name] : choices) {
        m_microsteps.push_back(std::make_shared<valuelib::ValueEntry>(catalogueGate, code, name, true));
    }
}

void ModelNode::AddParameter(const Profile::Parameter& param) {
    valuelib::BasicValue::Setup setup;
    setup.param = param.number;
    setup.name = param.name;
    setup.number = param.value;
    setup.lowerLimit = param.lowerLimit;
    setup.upperLimit = param.upperLimit;
    setup.writable = param.writable;
    setup.textFormat = param.text;
    setup.infoFormat = param.info;
    setup.lockLevel = param.lockLevel;
    setup.setupA = param.whole ? 1 : 0;
    setup.setupB = param.decimals;
    auto value = valuelib::BasicValue::Create(setup, m_host);
    for (const auto& field : param.fields) {
        value->AddField(field.name, field.firstBit, field.width, field.text);
        const auto bitField = value->FindField(field.name);
        bitField->DriveSetEditable(field.editable);
        for (const auto& name : field.values) {
            bitField->AddDriveValueName(name.code, name.name, name.visible);
        }
    }
    m_params.Contents().Add(param.number, value);
}

void ModelNode::Enter(valuelib::OperationId operation, std::optional<std::int32_t> param) const {
    m_host->Enter(valuelib::CallSite{operation, param});
}

bool ModelNode::EnterForObject(valuelib::OperationId operation, std::optional<std::int32_t> param) const {
    return m_host->EnterForObject(valuelib::CallSite{operation, param});
}

bool ModelNode::HasParam(std::int32_t number) {
    Enter("Node.HasParam", number);
    return m_params.Contents().Exists(number);
}

std::shared_ptr<ValueObject> ModelNode::Param(std::int32_t number) {
    if (EnterForObject("Node.Param", number)) {
        return nullptr;
    }
    return DriveParam(number);
}

Dictionary<std::int32_t, std::shared_ptr<ValueObject>>& ModelNode::ParamTable() {
    Enter("Node.ParamTable");
    return m_params;
}

std::shared_ptr<StatusRegister> ModelNode::StatusReg() {
    if (EnterForObject("Node.StatusReg")) {
        return nullptr;
    }
    return m_status;
}

std::shared_ptr<AppLock> ModelNode::AccessLock() {
    if (EnterForObject("Node.AccessLock")) {
        return nullptr;
    }
    return m_lock;
}

std::shared_ptr<IoObject> ModelNode::IoObj() {
    if (EnterForObject("Node.IoObj")) {
        return nullptr;
    }
    return m_io;
}

std::vector<std::shared_ptr<Entry>> ModelNode::MotorTypes() {
    Enter("Node.MotorTypes");
    return AsEntries(m_motorTypes);
}

std::vector<std::shared_ptr<Entry>> ModelNode::MicrostepChoices() {
    Enter("Node.MicrostepChoices");
    return AsEntries(m_microsteps);
}

bool ModelNode::IsOnline() {
    Enter("Node.IsOnline");
    return m_online;
}

bool ModelNode::DriveEnabled() {
    Enter("Node.DriveEnabled");
    return m_driveEnabled;
}

void ModelNode::SetDriveEnabled(bool enabled) {
    Enter("Node.SetDriveEnabled");
    m_host->DriveEnabledWritten(enabled);
    m_driveEnabled = enabled;
}

std::int32_t ModelNode::NodeState() {
    Enter("Node.NodeState");
    return m_nodeState;
}

std::string ModelNode::ExpandText(const std::string& text) {
    Enter("Node.ExpandText");
    const bool linear = CurrentMotorTypeIsLinear();
    std::string expanded = text;
    for (const auto& expansion : m_expansions) {
        const std::string& word = linear ? expansion.linear : expansion.rotary;
        for (auto at = expanded.find(expansion.marker); at != std::string::npos;
             at = expanded.find(expansion.marker, at + word.size())) {
            expanded.replace(at, expansion.marker.size(), word);
        }
    }
    return expanded;
}

std::shared_ptr<valuelib::BasicValue> ModelNode::DriveParam(std::int32_t number) {
    auto& params = m_params.Contents();
    if (!params.Exists(number)) {
        throw Error(error_number::KeyNotFound, "drivemodel", "The drive has no parameter " + DecimalText(number));
    }
    return params.Item(number);
}

std::shared_ptr<valuelib::ValueEntry> ModelNode::MotorType(std::int32_t code) const {
    return FindEntry(m_motorTypes, code, "motor types");
}

std::shared_ptr<valuelib::ValueEntry> ModelNode::Microstep(std::int32_t code) const {
    return FindEntry(m_microsteps, code, "microstep choices");
}

bool ModelNode::CurrentMotorTypeIsLinear() {
    // A drive without a motor-type field, or with a code outside its catalogue, counts as rotary.
    if (!m_params.Contents().Exists(m_motorTypeParam)) {
        return false;
    }
    const std::int32_t code = DriveParam(m_motorTypeParam)->DriveFieldValue(m_motorTypeField);
    for (std::size_t i = 0; i < m_motorTypes.size(); ++i) {
        if (m_motorTypes[i]->CodeValue() == code) {
            return m_linearMotorTypes[i];
        }
    }
    return false;
}

}  // namespace vor::model
