#include "vormotor/qt/TwipScale.h"

#include <QWidget>
#include <cmath>

namespace vor {

TwipScale TwipScale::Of(const QWidget& widget) {
    return TwipScale(widget.logicalDpiX(), widget.logicalDpiY());
}

int TwipScale::ToPixelsX(float twips) const {
    return static_cast<int>(std::lround(twips * m_dpiX / kTwipsPerInch));
}

int TwipScale::ToPixelsY(float twips) const {
    return static_cast<int>(std::lround(twips * m_dpiY / kTwipsPerInch));
}

float TwipScale::ToTwipsX(int pixels) const {
    return static_cast<float>(pixels * kTwipsPerInch / m_dpiX);
}

float TwipScale::ToTwipsY(int pixels) const {
    return static_cast<float>(pixels * kTwipsPerInch / m_dpiY);
}

}  // namespace vor
