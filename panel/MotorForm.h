#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "contracts/AppEvents.h"
#include "contracts/AppLock.h"
#include "contracts/DriveEvents.h"
#include "contracts/DriveNetwork.h"
#include "contracts/DriveNode.h"
#include "contracts/FieldObject.h"
#include "contracts/IoObject.h"
#include "contracts/StatusRegister.h"
#include "contracts/UIuserControl.h"
#include "contracts/ValueObject.h"
#include "core/Event.h"
#include "core/Ref.h"
#include "core/WithEvents.h"
#include "toolkit/Form.h"
#include "toolkit/Frame.h"

namespace vor {

// The motor settings panel: the motor page of the set-up application. A host creates it
// (Create, or by class name through PanelClasses), attaches it to a drive node, shows it, sizes
// it, and releases it; everything else happens in answer to events.
class MotorForm final : public UIuserControl, public std::enable_shared_from_this<MotorForm> {
public:
    // Runs the initialise step.
    static std::shared_ptr<MotorForm> Create();
    // Runs the terminate step.
    ~MotorForm() override;

    // Host interface.
    void AttachControl(const std::shared_ptr<DriveNetwork>& theNet, const std::shared_ptr<DriveNode>& theNode,
                       const std::shared_ptr<void>& theAppObj, std::string regName, std::string regSect) override;
    void ReleaseControl() override;
    std::string VersionStr() override;
    std::uint32_t BarColor() override;

    std::shared_ptr<UIuserControl> UIRef();
    Frame& FrameRef();
    bool Enabled() const noexcept { return m_enabled; }
    void SetEnabled(bool newState);

    // The panel's controls and surface, for the host that shows them.
    Form& GetForm() noexcept { return m_form; }

    // The registry name and section of the last attach, kept once per component.
    static const std::string& RegistryName();
    static const std::string& RegistrySection();

    // The deferred-refresh requests and the update guard, for hosts that show the panel's state.
    bool Updating() const noexcept { return m_updating; }

private:
    MotorForm();

    // Lifecycle.
    void Initialise();
    void UserControl_Resize();
    void BindNode(const Ref<DriveNode>& node);
    void UnbindNode();

    Form m_form;
    std::vector<Connection> m_surfaceConnections;

    // Objects handed in by the host.
    Ref<DriveNetwork> m_net;
    Ref<DriveNode> m_node;
    bool m_enabled = false;

    // Objects the binding fetches; each subscription moves with the object held.
    WithEvents<AppEvents> m_qsAppEvts;
    WithEvents<DriveEvents> m_qsDrvEvts;
    WithEvents<ValueObject> m_ke;
    WithEvents<AppLock> m_appLock;
    WithEvents<ValueObject> m_iMax;
    WithEvents<StatusRegister> m_statusReg;
    WithEvents<ValueObject> m_rmsTC;
    WithEvents<ValueObject> m_rmsLimit;
    Ref<ValueObject> m_motorCfg;
    WithEvents<FieldObject> m_fldMotorType;
    WithEvents<FieldObject> m_fldCommMode;
    WithEvents<FieldObject> m_fldEncMode;
    WithEvents<ValueObject> m_derivedCommMode;
    WithEvents<FieldObject> m_fldSensorless;
    WithEvents<FieldObject> m_fldInitOptions;
    WithEvents<ValueObject> m_ustepsPerTurn;
    WithEvents<ValueObject> m_encDens;
    WithEvents<ValueObject> m_vectAngleCap;
    WithEvents<IoObject> m_iopObj;
    WithEvents<ValueObject> m_iop;

    // Panel state.
    bool m_updating = false;
    bool m_commCodeChanged = false;
};

}  // namespace vor
