#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/contracts/DriveNode.h"
#include "vormotor/drivemodel/ModelHost.h"
#include "vormotor/drivemodel/ModelIo.h"
#include "vormotor/drivemodel/ModelLock.h"
#include "vormotor/drivemodel/Profile.h"
#include "vormotor/valuelib/BasicValue.h"
#include "vormotor/valuelib/GatedDictionary.h"
#include "vormotor/valuelib/ValueEntry.h"

namespace vor::model {

// One drive on the network, built from a profile.
class ModelNode final : public DriveNode {
public:
    ModelNode(const Profile& profile, std::shared_ptr<ModelHost> host, std::shared_ptr<ModelLock> lock);

    bool HasParam(std::int32_t number) override;
    std::shared_ptr<ValueObject> Param(std::int32_t number) override;
    Dictionary<std::int32_t, std::shared_ptr<ValueObject>>& ParamTable() override;
    std::shared_ptr<StatusRegister> StatusReg() override;
    std::shared_ptr<AppLock> AccessLock() override;
    std::shared_ptr<IoObject> IoObj() override;
    std::vector<std::shared_ptr<Entry>> MotorTypes() override;
    std::vector<std::shared_ptr<Entry>> MicrostepChoices() override;
    bool IsOnline() override;
    bool DriveEnabled() override;
    void SetDriveEnabled(bool enabled) override;
    std::int32_t NodeState() override;
    std::string ExpandText(const std::string& text) override;

    // The drive's side.
    std::shared_ptr<valuelib::BasicValue> DriveParam(std::int32_t number);
    ModelIo& Io() noexcept { return *m_io; }
    std::shared_ptr<valuelib::ValueEntry> MotorType(std::int32_t code) const;
    std::shared_ptr<valuelib::ValueEntry> Microstep(std::int32_t code) const;
    // Replaces the microstep choices; all of them visible.
    void DriveSetMicrosteps(const std::vector<std::pair<std::int32_t, std::string>>& choices);
    const std::vector<std::shared_ptr<valuelib::ValueEntry>>& DriveMotorTypes() const noexcept { return m_motorTypes; }
    const std::vector<std::shared_ptr<valuelib::ValueEntry>>& DriveMicrosteps() const noexcept { return m_microsteps; }
    void DriveSetOnline(bool online) noexcept { m_online = online; }
    bool DriveIsOnline() const noexcept { return m_online; }
    void DriveSetEnabled(bool enabled) noexcept { m_driveEnabled = enabled; }
    bool DriveIsEnabled() const noexcept { return m_driveEnabled; }
    void DriveSetNodeState(std::int32_t state) noexcept { m_nodeState = state; }
    std::int32_t DriveNodeState() const noexcept { return m_nodeState; }

private:
    void Enter(valuelib::OperationId operation, std::optional<std::int32_t> param = std::nullopt) const;
    // For an operation that hands out an object: true when it is to hand out a null one.
    bool EnterForObject(valuelib::OperationId operation, std::optional<std::int32_t> param = std::nullopt) const;
    void AddParameter(const Profile::Parameter& param);
    bool CurrentMotorTypeIsLinear();

    std::shared_ptr<ModelHost> m_host;
    std::shared_ptr<ModelLock> m_lock;
    valuelib::GatedDictionary<std::int32_t, std::shared_ptr<ValueObject>, std::shared_ptr<valuelib::BasicValue>>
        m_params;
    std::shared_ptr<StatusRegister> m_status = std::make_shared<StatusRegister>();
    std::shared_ptr<ModelIo> m_io;

    // Catalogues.
    std::vector<std::shared_ptr<valuelib::ValueEntry>> m_motorTypes;
    std::vector<bool> m_linearMotorTypes;  // by position in m_motorTypes
    std::vector<std::shared_ptr<valuelib::ValueEntry>> m_microsteps;
    std::vector<Profile::Expansion> m_expansions;
    std::int32_t m_motorTypeParam;
    std::string m_motorTypeField;

    // Drive state.
    bool m_online;
    bool m_driveEnabled;
    std::int32_t m_nodeState;
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::ModelNode;
}  // namespace vor
