#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vormotor/drivemodel/DriveBackEnd.h"
#include "vormotor/drivemodel/DriveWrite.h"
#include "vormotor/drivemodel/ModelAppEvents.h"
#include "vormotor/drivemodel/ModelHost.h"
#include "vormotor/drivemodel/ModelLock.h"
#include "vormotor/drivemodel/ModelNetwork.h"
#include "vormotor/drivemodel/ModelNode.h"
#include "vormotor/drivemodel/ModelTraceSink.h"
#include "vormotor/drivemodel/Profile.h"

namespace vor::model {

// A drive network with one drive, built from a profile. The network and the node are what a
// user of the drive library sees; the setters below are the drive's and the application's side,
// changing things the way a real drive changes them, with the events that follow. Every call of
// the user passes the back end first, which may refuse it, and every write the user makes is
// journalled (Writes).
class DriveModel {
public:
    // Without a back end the model is the drive: nothing refuses a call.
    explicit DriveModel(const Profile& profile, std::shared_ptr<DriveBackEnd> backEnd = nullptr);
    virtual ~DriveModel() = default;
    DriveModel(const DriveModel&) = delete;
    DriveModel& operator=(const DriveModel&) = delete;
    static std::unique_ptr<DriveModel> Load(const std::string& path);

    const std::string& Name() const noexcept { return m_name; }
    std::shared_ptr<ModelNetwork> Network() const noexcept { return m_network; }
    std::shared_ptr<ModelNode> Node() const noexcept { return m_node; }
    // For ValueFactory::SetHost, so that the user's own values pass the back end too.
    std::shared_ptr<valuelib::ValueHost> Host() const noexcept { return m_host; }

    // Parameters, as the drive changes them; the values' events follow.
    void SetParam(std::int32_t param, double number);
    void SetField(std::int32_t param, const std::string& field, std::int32_t value);
    double ParamNumber(std::int32_t param) const;
    std::int32_t FieldValue(std::int32_t param, const std::string& field) const;
    // Flipping a value name's flag raises its field's UpdateView: what the field offers changed.
    void SetValueNameVisible(std::int32_t param, const std::string& field, std::int32_t code, bool visible);
    void SetFieldEditable(std::int32_t param, const std::string& field, bool editable);
    void SetLockLevel(std::int32_t param, std::int32_t level);
    void SetMotorTypeVisible(std::int32_t code, bool visible);
    void SetMicrostepVisible(std::int32_t code, bool visible);
    // Replaces the node's microstep choices (code, name); all of them visible.
    void SetMicrostepChoices(const std::vector<std::pair<std::int32_t, std::string>>& choices) {
        m_node->DriveSetMicrosteps(choices);
    }

    // The node.
    void SetOnline(bool online) { m_node->DriveSetOnline(online); }
    void SetDriveEnabled(bool enabled) { m_node->DriveSetEnabled(enabled); }
    bool DriveEnabled() const { return m_node->DriveIsEnabled(); }
    void SetNodeState(std::int32_t state) { m_node->DriveSetNodeState(state); }
    // A change of the sensor code in bits 7 to 9 raises CommutationChanged(thisCode, lastCode).
    void SetInputWord(std::int32_t word) { m_node->Io().SetInputWord(word); }
    void RaiseCommutationChanged(std::int32_t thisCode, std::int32_t lastCode) {
        m_node->Io().RaiseCommutationChanged(thisCode, lastCode);
    }
    std::int32_t InputWord() const { return static_cast<std::int32_t>(m_node->Io().InputWord()); }

    // The network and the application.
    void SetAccessLevel(std::int32_t level) { m_lock->SetLevel(level); }
    std::int32_t AccessLevel() const { return m_lock->CurrentLevel(); }
    void SetTechSupport(bool techSupport) { m_appEvents->SetTechSupport(techSupport); }
    void SetCommModeSelectable(bool selectable) { m_network->DriveSetCommModeSelectable(selectable); }
    void SetTraceFlags(std::int32_t flags) { m_traceSink->SetFlags(flags); }
    void RaiseMotorPageEnableChanged(bool enabled) { m_appEvents->RaiseMotorPageEnableChanged(enabled); }
    void RaiseTechSupportChanged(bool techSupport) { m_appEvents->RaiseTechSupportChanged(techSupport); }
    // A drive whose motor moves by itself moves it before the tick is raised.
    virtual void RaiseTimerTick() { m_appEvents->RaiseTimerTick(); }

    // What the user did.
    const std::vector<DriveWrite>& Writes() const noexcept { return m_host->Writes(); }
    void ClearWrites() noexcept { m_host->ClearWrites(); }
    const std::vector<std::string>& TraceLines() const noexcept { return m_traceSink->Lines(); }
    std::int32_t TraceFlags() const noexcept { return m_traceSink->Flags(); }

private:
    std::string m_name;
    std::shared_ptr<ModelHost> m_host;
    std::shared_ptr<ModelAppEvents> m_appEvents;
    std::shared_ptr<ModelLock> m_lock;
    std::shared_ptr<ModelTraceSink> m_traceSink;
    std::shared_ptr<ModelNetwork> m_network;
    std::shared_ptr<ModelNode> m_node;
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::DriveModel;
}  // namespace vor
