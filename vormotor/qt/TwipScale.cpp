#include "vormotor/qt/TwipScale.h"

#include <QScreen>
#include <cmath>

namespace vor::qt {

TwipScale TwipScale::Of(const QScreen& screen, double room) {
    return TwipScale(screen.logicalDotsPerInchX() * room, screen.logicalDotsPerInchY() * room);
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

}  // namespace vor::qt
