// Attach-time binding of the panel to a drive node.
#include <array>
#include <string>
#include <utility>

#include "vormotor/contracts/Sorvane.h"
#include "vormotor/contracts/Tarvine.h"
#include "vormotor/core/FailureStyles.h"
#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/panel/MotorFormImpl.h"
#include "vormotor/toolkit/Label.h"
#include "vormotor/valuelib/ValueFactory.h"

namespace vor {
namespace {

using namespace motor_form;

// The start-up options of the derived commutation value, in the order the list offers them. The
// texts are made once: every attach names the options of a new value.
const std::array<std::pair<std::int32_t, std::string>, 9>& InitOptions() {
    static const std::array<std::pair<std::int32_t, std::string>, 9> options{{
        {0, "State Chk On, Seq Chk On, Thermal Chk On"},
        {1, "State Chk On, Seq Chk On, Thermal Chk Off"},
        {2, "State Chk On, Seq Chk Off, Thermal Chk On"},
        {3, "State Chk On, Seq Chk Off, Thermal Chk Off"},
        {4, "State Chk Off, Seq Chk Off, Thermal Chk Off"},
        {14, "Damping On, Retry On"},
        {15, "Damping Off, Retry On"},
        {6, "Damping On, Retry Off"},
        {7, "Damping Off, Retry Off"},
    }};
    return options;
}

// The drive's field names, made once: "Commutation Mode" is longer than a string holds in
// itself, so naming it by its literal cost an allocation at every attach.
const std::string& CommutationModeField() {
    static const std::string name = "Commutation Mode";
    return name;
}

}  // namespace

void MotorForm::Impl::BindNode(const Ref<DriveNode>& node) {
    bool bindViews = false;
    if (!StopOnFailure([&] { bindViews = BindDriveObjects(node); })) {
        m_updating = false;
        return;
    }
    if (bindViews) {
        BindEditors();
        BindViews();
        m_updating = false;
    }
}

bool MotorForm::Impl::BindDriveObjects(const Ref<DriveNode>& node) {
    m_qsAppEvts = m_net->AppEvents();
    m_qsDrvEvts = m_net->DriveEvents();
    m_commCodeChanged = false;
    m_controls.transLbl.SetCaption("?->?");
    if (!node) {
        return false;
    }
    m_node = node;
    if (m_node->ParamTable().Count() == 0) {
        return false;
    }
    m_updating = true;

    m_ke = m_node->Param(kKe);
    m_appLock = m_node->AccessLock();
    m_iMax = m_node->Param(kIMax);
    m_statusReg = m_node->StatusReg();
    m_rmsTC = m_node->Param(kRmsTimeConstant);
    m_rmsLimit = m_node->Param(kRmsLimit);

    if (m_node->HasParam(kMotorConfiguration)) {
        m_motorCfg = m_node->Param(kMotorConfiguration);
        auto& fields = m_motorCfg->Fields();
        m_fldMotorType = fields.Item("Motor Type");
        m_fldCommMode = fields.Item(CommutationModeField());
        m_fldEncMode = fields.Item("Encoder Mode");
        BuildDerivedCommMode();
    }

    if (m_node->HasParam(kMicrostepsPerTurn)) {
        m_ustepsPerTurn = m_node->Param(kMicrostepsPerTurn);
    }
    if (m_node->HasParam(kEncoderDensity)) {
        m_encDens = m_node->Param(kEncoderDensity);
    }
    if (m_node->HasParam(kVectorAngleCapture)) {
        m_vectAngleCap = m_node->Param(kVectorAngleCapture);
    }
    // Only when no captured angle is held at all, also one of an earlier node.
    if (m_vectAngleCap.IsNothing() && m_node->HasParam(kVectorAngleCaptureAlternative)) {
        m_vectAngleCap = m_node->Param(kVectorAngleCaptureAlternative);
    }
    m_iopObj = m_node->IoObj();
    m_iop = m_iopObj->InputsValue();
    m_iop->StartUpdates();
    return true;
}

void MotorForm::Impl::BuildDerivedCommMode() {
    m_derivedCommMode = valuelib::ValueFactory::Create();
    m_derivedCommMode->SetSetupA(1);
    m_derivedCommMode->SetSetupB(0);
    m_derivedCommMode->SetSetupC(26);
    auto& content = m_derivedCommMode->Content();
    content.SetLowerLimit(-2147483648.0);
    content.SetUpperLimit(2147483647.0);
    content.SetSetupFlag(true);

    m_derivedCommMode->AddField("", 0, 1, "");
    m_fldSensorless = m_derivedCommMode->Fields().Item("");
    m_fldSensorless->ValueNames().RemoveAll();
    m_fldSensorless->AddValueName(0, "Use Sensors");
    m_fldSensorless->AddValueName(1, "Sensorless");
    m_controls.sensorlessRadioGrp->SetFieldValueRef(m_derivedCommMode.Get());

    m_derivedCommMode->AddField("Init Options", 1, 4, "");
    m_fldInitOptions = m_derivedCommMode->Fields().Item("Init Options");
    m_fldInitOptions->ValueNames().RemoveAll();
    for (const auto& [code, text] : InitOptions()) {
        m_fldInitOptions->AddValueName(code, text);
    }

    m_fldInitOptions->SetValue(m_fldCommMode->Value());
    m_fldSensorless->SetValue(m_fldCommMode->Value() < kFirstSensorlessCode ? 0 : 1);
    // A new value starts at 0, so code 0 changes nothing and raises no change: the offer is
    // brought in line with the sensor choice and the drive's flags here, whatever the code. Its
    // failure ends only the handler, as when the change event runs it.
    SkipOnFailure([&] { m_derivedCommMode_Changed(); });
}

void MotorForm::Impl::BindEditors() {
    for (const auto& handle : m_controls.paramItem) {
        // An editor whose fetch fails keeps the value it had; a control of another kind in an
        // editor's place has no parameter to read and is passed over.
        SkipOnFailure([&] {
            auto& editor = *handle;
            const auto parameter = editor.Parameter();
            if (parameter && m_node->HasParam(*parameter)) {
                editor.SetValueObjRef(m_node->Param(*parameter));
            } else {
                editor.SetValueObjRef(nullptr);
            }
        });
    }
    for (const auto& handle : m_controls.configRadioGrp) {
        SkipOnFailure([&] { handle->SetLockRef(m_node->AccessLock()); });
        SkipOnFailure([&] {
            auto& group = *handle;
            const auto parameter = group.ParamNumber();
            if (parameter && m_node->HasParam(*parameter)) {
                group.SetFieldValueRef(m_node->Param(*parameter));
            }
        });
    }
    SkipOnFailure([&] { FillMotorTypeList(); });
}

void MotorForm::Impl::BindViews() {
    SkipOnFailure([&] { RefreshMotorTypeViews(); });
    SkipOnFailure([&] { RequestCommModeList(); });
    SkipOnFailure([&] {
        if (m_node->HasParam(kMicrostepsPerTurn)) {
            RequestMicrostepList();
        }
    });
    SkipOnFailure([&] {
        if (m_vectAngleCap) {
            m_vectAngleCap->Refresh();
        }
    });
    SkipOnFailure([&] { ReadCommCode(); });
    SkipOnFailure([&] { ShowTorqueLoopCaption(); });
    SkipOnFailure([&] { ShowMotorTypeFrames(); });
    SkipOnFailure([&] { UpdateMotorTypeAccess(); });
    SkipOnFailure([&] { ShowCommState(); });
    SkipOnFailure([&] { ApplyEnablePolicy(m_enabled); });
}

}  // namespace vor
