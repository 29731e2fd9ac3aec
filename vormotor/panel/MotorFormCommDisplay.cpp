// The live commutation sensor display: sensor bits, the last code transition and the captured
// vector angle.
#include <array>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/FailureStyles.h"
#include "vormotor/panel/CommDisplayValues.h"
#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/panel/MotorFormImpl.h"
#include "vormotor/toolkit/Label.h"

namespace vor {
namespace {

using namespace motor_form;

constexpr std::uint32_t kDarkBlue = 0x800000;
constexpr std::uint32_t kDarkGreen = 0x008000;
constexpr std::uint32_t kBlack = 0;

// Sensor lines T-R, R-S and S-T are bits 2, 1 and 0 of the code.
constexpr std::array<const char*, 8> kBitTexts{
    "0\r\n0\r\n0", "0\r\n0\r\n1", "0\r\n1\r\n0", "0\r\n1\r\n1",
    "1\r\n0\r\n0", "1\r\n0\r\n1", "1\r\n1\r\n0", "1\r\n1\r\n1",
};

// Transitions across the sensor edges that matter for commutation.
bool IsHighlighted(std::int32_t lastCode, std::int32_t thisCode) {
    return (lastCode == 5 && thisCode == 4) || (lastCode == 4 && thisCode == 5) || (lastCode == 6 && thisCode == 2) ||
           (lastCode == 2 && thisCode == 6);
}

std::uint32_t HighlightColor(bool bold, std::int32_t thisCode) {
    if (bold && (thisCode == 4 || thisCode == 5)) {
        return kDarkBlue;
    }
    if (bold && (thisCode == 2 || thisCode == 6)) {
        return kDarkGreen;
    }
    return kBlack;
}

// The sensor code is bits 7 to 9 of the input word.
constexpr std::int32_t kSensorCodeDivisor = 128;
constexpr std::int32_t kSensorCodeMask = 7;
constexpr std::int32_t kFullTurn = 360;

}  // namespace

std::int32_t ShownVectorAngle(double captured) {
    // The remainder keeps the sign of the angle.
    return ToInt32(captured) % kFullTurn;
}

std::int32_t SensorCodeOf(double inputWord) {
    return (ToInt32(inputWord) / kSensorCodeDivisor) & kSensorCodeMask;
}

void MotorForm::Impl::ShowCommState() {
    auto& angleLabel = m_controls.commutationLbl;
    auto& transitionLabel = m_controls.transLbl;
    auto& bitsLabel = m_controls.bitDisplayLbl;
    if (m_node.IsNothing() || m_iop.IsNothing()) {
        angleLabel.SetCaption(NotAvailableText());
        transitionLabel.SetCaption("?->?");
        bitsLabel.SetCaption("?");
        return;
    }
    transitionLabel.SetCaption(m_lastCode != m_thisCode ? DecimalText(m_lastCode) + "->" + DecimalText(m_thisCode)
                                                        : "?->?");

    std::string angleText = NotAvailableText();
    if (m_vectAngleCap) {
        const std::int32_t angle = ShownVectorAngle(m_vectAngleCap->Content().Number());
        if (m_commCodeChanged) {
            angleText = DecimalText(angle);
        }
    }
    angleLabel.SetCaption(angleText);

    angleLabel.SetFontBold(IsHighlighted(m_lastCode, m_thisCode));
    angleLabel.SetForeColor(HighlightColor(angleLabel.FontBold(), m_thisCode));
    if (m_thisCode >= 0 && m_thisCode <= 7) {
        bitsLabel.SetCaption(kBitTexts[static_cast<std::size_t>(m_thisCode)]);
    }
    bitsLabel.SetFontBold(angleLabel.FontBold());
    bitsLabel.SetForeColor(angleLabel.ForeColor());
}

void MotorForm::Impl::ReadCommCode() {
    if (m_vectAngleCap.IsNothing() || m_readingCommCode) {
        return;
    }
    ScopedFlag guard(m_readingCommCode, true);
    StopOnFailure([&] {
        const std::int32_t code = SensorCodeOf(m_iop->Content().Number());
        m_thisCode = code;
        m_lastCode = code;
        ShowCommState();
    });
}

void MotorForm::Impl::m_iopObj_CommutationChanged(std::int32_t thisCode, std::int32_t lastCode) {
    m_thisCode = thisCode;
    m_lastCode = lastCode;
    m_commCodeChanged = true;
    ShowCommState();
}

void MotorForm::Impl::m_iop_ContentChanged() {
    m_commDisplayDue = true;
}

void MotorForm::Impl::m_vectAngleCap_ContentChanged() {
    if (m_updating) {
        return;
    }
    m_commCodeChanged = true;
    m_commDisplayDue = true;
}

}  // namespace vor
