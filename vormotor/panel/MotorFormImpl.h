#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/contracts/AppEvents.h"
#include "vormotor/contracts/AppLock.h"
#include "vormotor/contracts/DriveEvents.h"
#include "vormotor/contracts/DriveNetwork.h"
#include "vormotor/contracts/DriveNode.h"
#include "vormotor/contracts/FieldObject.h"
#include "vormotor/contracts/IoObject.h"
#include "vormotor/contracts/StatusRegister.h"
#include "vormotor/contracts/ValueObject.h"
#include "vormotor/core/Event.h"
#include "vormotor/core/Ref.h"
#include "vormotor/core/WithEvents.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/form/ControlHandles.h"
#include "vormotor/toolkit/Form.h"
#include "vormotor/toolkit/ModalMessageBox.h"

namespace vor {

class Tarvine;
enum class EnableCondition : std::uint8_t;

// The panel behind MotorForm's face: what it holds of the drive, its state, and the handlers of
// the events of its controls, the application and the drive.
class MotorForm::Impl {
public:
    Impl();
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    // What the face hands on.
    void Initialise();
    void AttachControl(const std::shared_ptr<DriveNetwork>& theNet, const std::shared_ptr<DriveNode>& theNode,
                       std::string regName, std::string regSect);
    void UnbindNode();
    std::uint32_t BarColor();
    Frame& FrameRef();
    bool Enabled() const noexcept { return m_enabled; }
    void SetEnabled(bool newState);
    Form& GetForm() noexcept { return m_form; }
    void SetMessageResponder(ModalMessageBox::Responder responder) { m_messageResponder = std::move(responder); }

    // The registry name and section of the last attach, kept once per component.
    static const std::string& RegistryName();
    static const std::string& RegistrySection();

private:
    // Lifecycle.
    void UserControl_Resize();

    // Attach-time binding.
    void BindNode(const Ref<DriveNode>& node);
    // Steps up to the optional parameters; false when the binding ends quietly (no node, or a
    // node without parameters). A failure raises.
    bool BindDriveObjects(const Ref<DriveNode>& node);
    void BuildDerivedCommMode();
    void BindEditors();
    void BindViews();

    // Motor type.
    void FillMotorTypeList();
    void ShowMotorType();
    void RefreshMotorTypeViews();
    void MotorStyleCombo_Click();
    void UpdateMotorTypeAccess();

    // Motor-type dependent frames and captions.
    void ShowMotorTypeFrames();
    void ShowTorqueLoopCaption();
    void ShowRmsTimeCaption();
    void m_rmsTC_ContentChanged();
    void m_rmsLimit_ContentChanged();
    void m_fldMotorType_UpdateView();
    void m_fldCommMode_UpdateView();
    void m_fldEncMode_UpdateView();

    // Application events and the deferred refresh.
    void RequestCommModeList();
    void RequestMicrostepList();
    void m_qsAppEvts_MotorPageEnableChanged();
    void m_qsAppEvts_TechSupportChanged();
    void m_qsAppEvts_TimerTick();

    // Commutation sensor display.
    void ShowCommState();
    void ReadCommCode();
    void m_iopObj_CommutationChanged(std::int32_t thisCode, std::int32_t lastCode);
    void m_iop_ContentChanged();
    void m_vectAngleCap_ContentChanged();

    // Commutation start-up options and the microstep list.
    void m_derivedCommMode_Changed();
    void m_fldSensorless_UpdateView();
    void RefreshCommModeList();
    void CommModeCombo_Click();
    void SensorlessRadioGrp_Change();
    void RefreshMicrostepList();
    void MicrostepCombo_Click();
    void m_ustepsPerTurn_ContentChanged();
    void m_encDens_ContentChanged();

    // Enable policy.
    struct Access {
        bool level3 = false;
        bool level1 = false;
    };
    struct EnableRule;  // the rule tables: MotorFormEnableRules.h
    // The rule a control follows, found once: a control's name, index and type never change.
    struct EnableStep {
        Control* control;
        const EnableRule* rule;  // null for a parameter editor
        bool isEditor;
        Tarvine* editor;  // the editor's side of a parameter editor, when it has one
        // A rule of access conditions alone (AccessConditions()), which the walk reads once for
        // all such rules: bit i stands for the i-th of them.
        bool accessOnly = false;
        std::uint8_t accessNeeds = 0;
    };
    static std::span<const EnableCondition> AccessConditions();
    // Whether a rule decides from access conditions alone, and which of them it needs.
    static bool AccessNeeds(const EnableRule& rule, std::uint8_t& needs);
    static std::span<const EnableRule> InputControlRules();
    static std::span<const EnableRule> OtherControlRules();
    const std::vector<EnableStep>& EnablePlan();
    Access ReadAccess();
    void ApplyEnablePolicy(bool activating);
    void ApplyRule(const EnableRule& rule, const Access& access, Control& control);
    void ApplyEditorPolicy(Tarvine* editor, Control& control);
    // The editor's value object; raises for a control in an editor's place that is none.
    static std::shared_ptr<ValueObject> EditorValue(Tarvine* editor, const Control& control);
    bool Holds(EnableCondition condition, const Access& access, Control& control);
    template <std::int32_t Code>
    static bool MotorTypeIsNot(Impl& form, const Access& access, Control& control);
    std::int32_t AccessLevel();
    // The line is put together only when the trace sink wants it.
    template <class... Parts>
    void TraceMsg(const Parts&... parts);
    void m_appLock_Changed();
    void UserControl_Show();
    void UserControl_Hide();
    friend class MotorFormEnableReasons;
    friend class MotorFormProbe;

    const std::string& LoadString(std::int32_t id) const;
    // The text for what the drive does not offer, which nearly every tick shows somewhere.
    static const std::string& NotAvailableText();

    Form m_form;
    // Controls the logic talks to.
    const ControlHandles m_controls;
    std::vector<Connection> m_controlConnections;
    std::vector<EnableStep> m_enablePlan;  // in the order of the form's controls

    // Objects handed in by the host.
    Ref<DriveNetwork> m_net;
    Ref<DriveNode> m_node;
    bool m_enabled = false;
    ModalMessageBox::Responder m_messageResponder;

    // Objects the binding fetches; each subscription moves with the object held.
    WithEvents<AppEvents> m_qsAppEvts;
    // Held for the lifetime of an attach; the panel handles none of their events.
    WithEvents<DriveEvents> m_qsDrvEvts;
    WithEvents<ValueObject> m_ke;  // parameter 41; its changes show nothing on this panel
    WithEvents<AppLock> m_appLock;
    WithEvents<ValueObject> m_iMax;
    WithEvents<StatusRegister> m_statusReg;  // held like m_qsDrvEvts
    WithEvents<ValueObject> m_rmsTC;
    WithEvents<ValueObject> m_rmsLimit;
    Ref<ValueObject> m_motorCfg;  // parameter 170, without events
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
    bool m_readingCommCode = false;  // ReadCommCode's own re-entry guard
    std::int32_t m_thisCode = 0;
    std::int32_t m_lastCode = 0;

    // Refresh requests served by the next timer tick.
    bool m_commDisplayDue = false;
    bool m_commModeListDue = false;
    bool m_microstepListDue = false;
};

}  // namespace vor
