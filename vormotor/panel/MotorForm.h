#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/contracts/UIuserControl.h"
#include "vormotor/panel/EnableReason.h"
#include "vormotor/toolkit/Form.h"
#include "vormotor/toolkit/Frame.h"
#include "vormotor/toolkit/ModalMessageBox.h"

namespace vor {

// The motor settings panel: the motor page of the set-up application. A host creates it
// (Create, or by class name through PanelClasses), attaches it to a drive node, shows it, sizes
// it, and releases it; everything else happens in answer to events.
class MotorForm final : public UIuserControl, public std::enable_shared_from_this<MotorForm> {
public:
    // Builds the form from the editor classes the host registered and runs the initialise step.
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
    bool Enabled() const noexcept;
    void SetEnabled(bool newState);

    // The panel's controls and surface, for the host that shows them.
    Form& GetForm() noexcept;

    // Why the user cannot operate `control` now: each false condition of the rules that decide it
    // and its containers, worded for the user. Empty when nothing stands against it. Only reads
    // the drive: no control changes and no trace line is written.
    std::vector<EnableReason> EnableReasons(Control& control);

    // Who answers this panel's safety question (before it changes the motor type of an enabled drive);
    // without one, the process-wide responder of ModalMessageBox does, and without that the answer is
    // Cancel: the motor type stays.
    void SetMessageResponder(ModalMessageBox::Responder responder);

private:
    // The panel's state, the handlers of its events and the controls it talks to (MotorFormImpl.h,
    // which is not installed).
    class Impl;
    friend class MotorFormEnableReasons;
    friend class MotorFormProbe;

    MotorForm();

    std::unique_ptr<Impl> m_impl;
};

}  // namespace vor
