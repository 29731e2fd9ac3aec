// The commutation start-up options (sensor choice and option list) and the microstep list.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "vormotor/contracts/Sorvane.h"
#include "vormotor/core/Conversions.h"
#include "vormotor/core/FailureStyles.h"
#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/panel/MotorFormImpl.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/Label.h"

namespace vor {
namespace {

using namespace motor_form;

// "Commutation Mode" codes of the start-ups with sensors and without, in the list's order.
constexpr std::array<std::int32_t, 5> kSensorCodes{0, 1, 2, 3, 4};
constexpr std::array<std::int32_t, 4> kSensorlessCodes{14, 15, 6, 7};

// Codes a pick in the sensor group writes: the full checks when the drive offers the code-2
// variant, else that variant; damping and retry for a sensorless start.
constexpr std::int32_t kSensorsDefault = 0;
constexpr std::int32_t kSensorsWithoutSequenceCheck = 2;
constexpr std::int32_t kSensorlessDefault = 14;

// Encoder mode in which a single offered microstep setting is the drive's, whatever it holds.
constexpr std::int32_t kEncoderModeFixedResolution = 1;

void ShowSingleItem(ComboBox& combo, const std::string& text) {
    combo.Clear();
    combo.AddItem(text);
    combo.SetListIndex(0);
}

// The label beside the list shows the picked option after a space. Every tick with the list due
// comes here, mostly with the caption unchanged, so the text is only put together when it differs.
void ShowPickedOption(Label& label, const ComboBox& combo) {
    const std::string_view picked = combo.ShownText();
    const std::string& shown = label.Caption();
    if (shown.size() == picked.size() + 1 && shown.front() == ' ' && shown.compare(1, picked.size(), picked) == 0) {
        return;
    }
    std::string caption;
    caption.reserve(picked.size() + 1);
    caption += ' ';
    caption += picked;
    label.SetCaption(std::move(caption));
}

}  // namespace

void MotorForm::Impl::m_derivedCommMode_Changed() {
    // After a release the panel keeps its own value but no longer holds the drive's field, so
    // there is no offer to follow; a pick on the still-bound group must not fail.
    if (m_fldCommMode.IsNothing()) {
        return;
    }
    const bool sensorless = m_fldSensorless->Value() != 0;
    auto& options = m_fldInitOptions->ValueNames();
    auto& driveOptions = m_fldCommMode->ValueNames();
    const auto offerAsTheDriveDoes = [&](std::int32_t code) {
        Ref(options.Item(code))->SetVisible(Ref(driveOptions.Item(code))->Visible());
    };
    const auto hide = [&](std::int32_t code) { Ref(options.Item(code))->SetVisible(false); };
    if (!sensorless) {
        std::for_each(kSensorCodes.begin(), kSensorCodes.end(), offerAsTheDriveDoes);
        std::for_each(kSensorlessCodes.begin(), kSensorlessCodes.end(), hide);
    } else {
        std::for_each(kSensorlessCodes.begin(), kSensorlessCodes.end(), offerAsTheDriveDoes);
        std::for_each(kSensorCodes.begin(), kSensorCodes.end(), hide);
    }
}

void MotorForm::Impl::m_fldSensorless_UpdateView() {
    ApplyEnablePolicy(m_enabled);
}

void MotorForm::Impl::RefreshCommModeList() {
    ScopedFlag guard(m_updating, true);
    auto& combo = m_controls.commModeCombo;
    auto& optionLabel = m_controls.commOptionLbl;
    // A failure leaves the list as far as it got and the label as it was.
    StopOnFailure([&] {
        if (m_motorCfg.IsNothing() || m_fldInitOptions.IsNothing()) {
            ShowSingleItem(combo, NotAvailableText());
            ShowPickedOption(optionLabel, combo);
            return;
        }
        m_motorCfg->Refresh();
        m_fldCommMode->Refresh();
        const std::int32_t code = m_fldCommMode->Value();
        m_fldInitOptions->SetValue(code);
        m_fldSensorless->SetValue(code < kFirstSensorlessCode ? 0 : 1);

        combo.Clear();
        for (const auto& entry : m_fldInitOptions->ValueNames().Items()) {
            if (entry->Visible()) {
                const std::int32_t added = combo.AddItem(entry->Name());
                combo.SetItemData(added, entry->Code());
            }
        }
        combo.SetListIndex(-1);
        for (std::int32_t i = 0; i < combo.ListCount(); ++i) {
            if (combo.ItemData(i) == m_fldInitOptions->Value()) {
                combo.SetListIndex(i);
            }
        }
        // A code the drive holds but no visible option offers is still shown and selected.
        if (combo.ListIndex() < 0) {
            const std::int32_t added = combo.AddItem(m_fldInitOptions->ValueText());
            combo.SetItemData(added, m_fldInitOptions->Value());
            combo.SetListIndex(added);
        }
        ShowPickedOption(optionLabel, combo);
    });
}

void MotorForm::Impl::CommModeCombo_Click() {
    if (m_fldCommMode.IsNothing() || m_updating || m_node.IsNothing()) {
        return;
    }
    const auto& combo = m_controls.commModeCombo;
    StopOnFailure([&] { m_fldCommMode->SetValue(combo.ItemData(combo.ListIndex())); });
}

void MotorForm::Impl::SensorlessRadioGrp_Change() {
    if (m_fldCommMode.IsNothing()) {
        return;
    }
    std::int32_t picked = 0;
    if (!StopOnFailure([&] { picked = m_controls.sensorlessRadioGrp->FieldObjRef()->Value(); })) {
        return;
    }
    if (picked == 0) {
        const bool fullChecksOffered = Ref(m_fldCommMode->ValueNames().Item(kSensorsWithoutSequenceCheck))->Visible();
        m_fldCommMode->SetValue(fullChecksOffered ? kSensorsDefault : kSensorsWithoutSequenceCheck);
    } else {
        m_fldCommMode->SetValue(kSensorlessDefault);
    }
    ApplyEnablePolicy(m_enabled);
}

void MotorForm::Impl::RefreshMicrostepList() {
    ScopedFlag guard(m_updating, true);
    auto& combo = m_controls.microstepCombo;
    StopOnFailure([&] {
        combo.Clear();
        combo.SetListIndex(-1);
        if (m_ustepsPerTurn.IsNothing() || m_node.IsNothing()) {
            ShowSingleItem(combo, NotAvailableText());
            return;
        }
        for (const auto& entry : m_node->MicrostepChoices()) {
            if (!entry->Visible()) {
                continue;
            }
            const std::int32_t added = combo.AddItem(entry->Name());
            combo.SetItemData(added, entry->Code());
            // Exact comparison: the drive holds whole numbers of microsteps.
            if (static_cast<double>(entry->Code()) == m_ustepsPerTurn->Content().Number()) {
                combo.SetListIndex(added);
            }
        }
        if (combo.ListIndex() >= 0) {
            return;
        }
        const bool fixedResolution = m_fldEncMode->Value() == kEncoderModeFixedResolution;
        if (fixedResolution && combo.ListCount() == 1) {
            combo.SetListIndex(0);
            return;
        }
        const double present = m_ustepsPerTurn->Content().Number();
        const std::int32_t added = combo.AddItem("Unsupported " + DoubleText(present));
        combo.SetItemData(added, ToInt32(present));
        combo.SetListIndex(added);
    });
    ApplyEnablePolicy(m_enabled);
}

void MotorForm::Impl::MicrostepCombo_Click() {
    if (m_ustepsPerTurn.IsNothing() || m_updating || m_node.IsNothing()) {
        return;
    }
    const auto& combo = m_controls.microstepCombo;
    StopOnFailure([&] { m_ustepsPerTurn->Content().SetNumber(combo.ItemData(combo.ListIndex())); });
}

void MotorForm::Impl::m_ustepsPerTurn_ContentChanged() {
    if (!m_updating) {
        RequestMicrostepList();
    }
}

void MotorForm::Impl::m_encDens_ContentChanged() {
    if (!m_updating) {
        RequestMicrostepList();
    }
}

}  // namespace vor
