// Creation, host interface, layout and release of the motor settings panel.
#include <utility>

#include "vormotor/contracts/Sorvane.h"
#include "vormotor/core/FailureStyles.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/form/FormBuilder.h"
#include "vormotor/panel/form/MotorFormDesign.h"
#include "vormotor/resources/ComponentResources.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/Label.h"
#include "vormotor/toolkit/Line.h"
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

}  // namespace

std::shared_ptr<MotorForm> MotorForm::Create() {
    std::shared_ptr<MotorForm> panel(new MotorForm());
    panel->Initialise();
    return panel;
}

MotorForm::MotorForm()
    : m_form(kMotorFormDesignWidth, kMotorFormDesignHeight),
      m_qsAppEvts([this](AppEvents& events) {
          std::vector<Connection> connections;
          connections.push_back(
              events.MotorPageEnableChanged().Connect([this](bool) { m_qsAppEvts_MotorPageEnableChanged(); }));
          connections.push_back(
              events.TechSupportChanged().Connect([this](bool) { m_qsAppEvts_TechSupportChanged(); }));
          connections.push_back(events.TimerTick().Connect([this] { m_qsAppEvts_TimerTick(); }));
          return connections;
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
      m_iop(HandleEvent(&ValueObject::ContentChanged, [this](double) { m_iop_ContentChanged(); })) {
    BuildForm(m_form, MotorFormControls());
}

MotorForm::~MotorForm() {
    UnbindNode();
}

void MotorForm::Initialise() {
    LoadResCaptions(m_form.Controls());

    auto& sensorFrame = m_form.Find("CommSensorFrame");
    auto& stepperFrame = m_form.Find("StepperFrame");
    stepperFrame.SetLeft(sensorFrame.Left());
    stepperFrame.SetTop(sensorFrame.Top());
    sensorFrame.SetVisible(false);

    const auto& commModeCombo = m_form.Find("CommModeCombo");
    auto& commOptionLbl = m_form.Find("CommOptionLbl");
    commOptionLbl.Move(commModeCombo.Left(), commModeCombo.Top(), commModeCombo.Width(), commModeCombo.Height());
    commOptionLbl.SetVisible(false);

    m_controlConnections.push_back(m_form.Surface().Resized().Connect([this] { UserControl_Resize(); }));
    m_controlConnections.push_back(m_form.Surface().Shown().Connect([this] { UserControl_Show(); }));
    m_controlConnections.push_back(m_form.Surface().Hidden().Connect([this] { UserControl_Hide(); }));
    m_controlConnections.push_back(
        m_form.FindAs<ComboBox>("MotorStyleCombo").Click().Connect([this] { MotorStyleCombo_Click(); }));
    m_controlConnections.push_back(
        m_form.FindAs<ComboBox>("CommModeCombo").Click().Connect([this] { CommModeCombo_Click(); }));
    m_controlConnections.push_back(
        m_form.FindAs<ComboBox>("MicrostepCombo").Click().Connect([this] { MicrostepCombo_Click(); }));
    m_controlConnections.push_back(dynamic_cast<Sorvane&>(m_form.Find("SensorlessRadioGrp")).Change().Connect([this] {
        SensorlessRadioGrp_Change();
    }));
}

void MotorForm::AttachControl(const std::shared_ptr<DriveNetwork>& theNet, const std::shared_ptr<DriveNode>& theNode,
                              const std::shared_ptr<void>&, std::string regName, std::string regSect) {
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

void MotorForm::ReleaseControl() {
    UnbindNode();
}

std::string MotorForm::VersionStr() {
    const ModuleVersion version = ComponentVersion();
    static const char moduleMarker = 0;
    const ModuleLocation location = ModuleLocation::Containing(&moduleMarker);
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.revision) + "\r\n" + location.directory + "\\" + location.baseName;
}

std::uint32_t MotorForm::BarColor() {
    return m_form.FindAs<Line>("mtrFeatureLine", 0).BorderColor();
}

std::shared_ptr<UIuserControl> MotorForm::UIRef() {
    return shared_from_this();
}

Frame& MotorForm::FrameRef() {
    return m_form.FindAs<Frame>("MotorFrame");
}

const std::string& MotorForm::RegistryName() {
    return ComponentRegistryPlace().name;
}

const std::string& MotorForm::RegistrySection() {
    return ComponentRegistryPlace().section;
}

void MotorForm::UserControl_Resize() {
    const float width = m_form.Surface().ScaleWidth();
    const float height = m_form.Surface().ScaleHeight();
    auto& motorFrame = m_form.Find("MotorFrame");
    motorFrame.Move(0, 0, width, height);

    const float barX[] = {kLeftBarX, width - kRightBarInset};
    for (std::int32_t index : {0, 1}) {
        auto& bar = m_form.FindAs<Line>("mtrFeatureLine", index);
        bar.SetY1(height - kBarBottomMargin);
        bar.SetY2(kBarTop);
        bar.SetX1(barX[index]);
        bar.SetX2(bar.X1());
    }
    CenterFrames(m_form.Controls(), motorFrame);
}

void MotorForm::UnbindNode() {
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
