#pragma once

#include <cstdint>

#include "vormotor/toolkit/Control.h"

namespace vor {

// A straight line from (X1, Y1) to (X2, Y2), in twips of its container.
class Line final : public Control {
public:
    using Control::Control;

    std::string TypeName() const override { return "Line"; }

    float X1() const noexcept { return m_x1; }
    float Y1() const noexcept { return m_y1; }
    float X2() const noexcept { return m_x2; }
    float Y2() const noexcept { return m_y2; }
    void SetX1(float x);
    void SetY1(float y);
    void SetX2(float x);
    void SetY2(float y);

    std::uint32_t BorderColor() const noexcept { return m_borderColor; }
    void SetBorderColor(std::uint32_t color);
    std::int32_t BorderWidth() const noexcept { return m_borderWidth; }
    void SetBorderWidth(std::int32_t width);

protected:
    const Property* FindProperty(std::string_view name) const override;

private:
    float m_x1 = 0;
    float m_y1 = 0;
    float m_x2 = 0;
    float m_y2 = 0;
    std::uint32_t m_borderColor = colors::WindowText;
    std::int32_t m_borderWidth = 1;
};

}  // namespace vor
