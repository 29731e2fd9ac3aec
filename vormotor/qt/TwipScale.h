#pragma once

class QScreen;

namespace vor::qt {

// The control tree measures in twips (1440 per inch); widgets in pixels of the screen's logical
// resolution. Horizontal and vertical resolutions may differ, so each axis has its own factor.
class TwipScale {
public:
    static constexpr double kTwipsPerInch = 1440.0;

    TwipScale(double dpiX, double dpiY) : m_dpiX(dpiX), m_dpiY(dpiY) {}
    // The logical resolution of `screen`, boxes enlarged by `room` against the fonts, which keep
    // their point size.
    static TwipScale Of(const QScreen& screen, double room);

    int ToPixelsX(float twips) const;
    int ToPixelsY(float twips) const;
    float ToTwipsX(int pixels) const;
    float ToTwipsY(int pixels) const;

    bool operator==(const TwipScale&) const = default;

private:
    double m_dpiX;
    double m_dpiY;
};

}  // namespace vor::qt

// The names above as hosts know them, in vor.
namespace vor {
using qt::TwipScale;
}  // namespace vor
