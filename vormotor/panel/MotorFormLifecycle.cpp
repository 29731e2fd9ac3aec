// Creation, host interface, layout and release of the motor settings panel.
#include <utility>

#include "vormotor/core/FailureStyles.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/MotorFormImpl.h"
#include "vormotor/panel/form/FormBuilder.h"
#include "vormotor/panel/form/MotorFormDesign.h"
#include "vormotor/resources/ComponentResources.h"
#include "vormotor/toolkit/ModuleLocation.h"
#include "vormotor/ui_util/Layout.h"
#include "vormotor/ui_util/MousePointerStack.h"
#include "vormotor/ui_util/ResourceCaptions.h"

namespace vor {
namespace {

constexpr std::int16_t kBusyCursor = 11;

// Edge bars: 200 twips from the top, 100 from the bottom, 100 from the left and 130 from the right.
constexpr float kBarTop = 200;
constexpr float kBarBottomMargin = 100;
constexpr float kLeftBarX = 100;
constexpr float kRightBarInset = 100 + 30;

struct RegistryPlace {
    std::string name;
    std::string section;
};

RegistryPlace& ComponentRegistryPlace() {
    static RegistryPlace place;
    return place;
}

const Form& Built(Form& form) {
    BuildForm(form, MotorFormControls());
    return form;
}

}  // namespace

std::shared_ptr<MotorForm> MotorForm::Create() {
    std::shared_ptr<MotorForm> panel(new MotorForm());
    panel->m_impl->Initialise();
    return panel;
}

MotorForm::MotorForm() : m_impl(std::make_unique<Impl>()) {}

MotorForm::~MotorForm() {
    m_impl->UnbindNode();
}

void MotorForm::AttachControl(const std::shared_ptr<DriveNetwork>& theNet, const std::shared_ptr<DriveNode>& theNode,
                              const std::shared_ptr<void>&, std::string regName, std::string regSect) {
    m_impl->AttachControl(theNet, theNode, std::move(regName), std::move(regSect));
}

void MotorForm::ReleaseControl() {
    m_impl->UnbindNode();
}

std::string MotorForm::VersionStr() {
    const ModuleVersion version = ComponentVersion();
    static const char moduleMarker = 0;
    const ModuleLocation location = ModuleLocation::Containing(&moduleMarker);
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision) + "\r\n" + location.directory + "\\" + location.baseName;
}

std::uint32_t MotorForm::BarColor() {
    return m_impl->BarColor();
}

std::shared_ptr<UIuserControl> MotorForm::UIRef() {
    return shared_from_this();
}

Frame& MotorForm::FrameRef() {
    return m_impl->FrameRef();
}

bool MotorForm::Enabled() const noexcept {
    return m_impl->Enabled();
}

void MotorForm::SetEnabled(bool newState) {
    m_impl->SetEnabled(newState);
}

Form& MotorForm::GetForm() noexcept {
    return m_impl->GetForm();
}

void MotorForm::SetMessageResponder(ModalMessageBox::Responder responder) {
    m_impl->SetMessageResponder(std::move(responder));
}

MotorForm::Impl::Impl()
    : m_form(kMotorFormDesignWidth, kMotorFormDesignHeight),
      m_controls(Built(m_form)),
      m_qsAppEvts([this](AppEvents& events, std::vector<Connection>& connections) {
          connections.push_back(
              events.MotorPageEnableChanged().Connect([this](bool) { m_qsAppEvts_MotorPageEnableChanged(); }));
          connections.push_back(
              events.TechSupportChanged().Connect([this](bool) { m_qsAppEvts_TechSupportChanged(); }));
          connections.push_back(events.TimerTick().Connect([this] { m_qsAppEvts_TimerTick(); }));
      }),
      m_appLock(HandleEvent(&AppLock::Changed, [this] { m_appLock_Changed(); })),
      m_rmsTC(HandleEvent(&ValueObject::ContentChanged, [this](double) { m_rmsTC_ContentChanged(); })),
      m_rmsLimit(HandleEvent(&ValueObject::ContentChanged, [this](double) { m_rmsLimit_ContentChanged(); })),
      m_fldMotorType(HandleEvent(&FieldObject::UpdateView, [this](FieldObject&) { m_fldMotorType_UpdateView(); })),
      m_fldCommMode(HandleEvent(&FieldObject::UpdateView, [this](FieldObject&) { m_fldCommMode_UpdateView(); })),
      m_fldEncMode(HandleEvent(&FieldObject::UpdateView, [this](FieldObject&) { m_fldEncMode_UpdateView(); })),
      m_derivedCommMode(HandleEvent(&ValueObject::Changed, [this](double) { m_derivedCommMode_Changed(); })),
      m_fldSensorless(HandleEvent(&FieldObject::UpdateView, [this](FieldObject&) { m_fldSensorless_UpdateView(); })),
      m_ustepsPerTurn(HandleEvent(&ValueObject::ContentChanged, [this](double) { m_ustepsPerTurn_ContentChanged(); })),
      m_encDens(HandleEvent(&ValueObject::ContentChanged, [this](double) { m_encDens_ContentChanged(); })),
      m_vectAngleCap(HandleEvent(&ValueObject::ContentChanged, [this](double) { m_vectAngleCap_ContentChanged(); })),
      m_iopObj(HandleEvent(
          &IoObject::CommutationChanged,
          [this](std::int32_t thisCode, std::int32_t lastCode) { m_iopObj_CommutationChanged(thisCode, lastCode); })),
      m_iop(HandleEvent(&ValueObject::ContentChanged, [this](double) { m_iop_ContentChanged(); })) {}

MotorForm::Impl::~Impl() = default;

void MotorForm::Impl::Initialise() {
    LoadResCaptions(m_form.Controls());

    auto& sensorFrame = m_controls.commSensorFrame;
    auto& stepperFrame = m_controls.stepperFrame;
    stepperFrame.SetLeft(sensorFrame.Left());
    stepperFrame.SetTop(sensorFrame.Top());
    sensorFrame.SetVisible(false);

    const auto& commModeCombo = m_controls.commModeCombo;
    auto& commOptionLbl = m_controls.commOptionLbl;
    commOptionLbl.Move(commModeCombo.Left(), commModeCombo.Top(), commModeCombo.Width(), commModeCombo.Height());
    commOptionLbl.SetVisible(false);

    m_controlConnections.push_back(m_form.Surface().Resized().Connect([this] { UserControl_Resize(); }));
    m_controlConnections.push_back(m_form.Surface().Shown().Connect([this] { UserControl_Show(); }));
    m_controlConnections.push_back(m_form.Surface().Hidden().Connect([this] { UserControl_Hide(); }));
    m_controlConnections.push_back(m_controls.motorStyleCombo.Click().Connect([this] { MotorStyleCombo_Click(); }));
    m_controlConnections.push_back(m_controls.commModeCombo.Click().Connect([this] { CommModeCombo_Click(); }));
    m_controlConnections.push_back(m_controls.microstepCombo.Click().Connect([this] { MicrostepCombo_Click(); }));
    m_controlConnections.push_back(
        m_controls.sensorlessRadioGrp->Change().Connect([this] { SensorlessRadioGrp_Change(); }));
}

void MotorForm::Impl::AttachControl(const std::shared_ptr<DriveNetwork>& theNet,
                                    const std::shared_ptr<DriveNode>& theNode, std::string regName,
                                    std::string regSect) {
    PushMousePointer(kBusyCursor);
    StopOnFailure([&] {
        m_enabled = true;
        ComponentRegistryPlace() = RegistryPlace{std::move(regName), std::move(regSect)};
        m_node = theNode;
        m_net = theNet;
        BindNode(m_node);
    });
    PopMousePointer();
}

std::uint32_t MotorForm::Impl::BarColor() {
    return m_controls.mtrFeatureLine[0]->BorderColor();
}

Frame& MotorForm::Impl::FrameRef() {
    return m_controls.motorFrame;
}

const std::string& MotorForm::Impl::RegistryName() {
    return ComponentRegistryPlace().name;
}

const std::string& MotorForm::Impl::RegistrySection() {
    return ComponentRegistryPlace().section;
}

void MotorForm::Impl::UserControl_Resize() {
    const float width = m_form.Surface().ScaleWidth();
    const float height = m_form.Surface().ScaleHeight();
    auto& motorFrame = m_controls.motorFrame;
    motorFrame.Move(0, 0, width, height);

    const float barX[] = {kLeftBarX, width - kRightBarInset};
    for (std::int32_t index : {0, 1}) {
        auto& bar = *m_controls.mtrFeatureLine[static_cast<std::size_t>(index)];
        bar.SetY1(height - kBarBottomMargin);
        bar.SetY2(kBarTop);
        bar.SetX1(barX[index]);
        bar.SetX2(bar.X1());
    }
    CenterFrames(m_form.Controls(), motorFrame);
}

void MotorForm::Impl::UnbindNode() {
    m_net = nullptr;
    m_node = nullptr;
    m_qsAppEvts = nullptr;
    m_qsDrvEvts = nullptr;
    m_ke = nullptr;
    m_iMax = nullptr;
    m_vectAngleCap = nullptr;
    m_rmsTC = nullptr;
    m_statusReg = nullptr;
    m_motorCfg = nullptr;
    m_fldCommMode = nullptr;
    m_fldMotorType = nullptr;
    m_fldEncMode = nullptr;
    m_ustepsPerTurn = nullptr;
    m_rmsLimit = nullptr;
    m_iopObj = nullptr;
    m_iop = nullptr;
    m_enabled = false;
}

}  // namespace vor
