#include "vormotor/toolkit/Line.h"

#include <array>

#include "vormotor/core/Error.h"

namespace vor {
namespace {

Line& AsLine(Control& control) {
    return static_cast<Line&>(control);
}

}  // namespace

void Line::SetX1(float x) {
    Assign(m_x1, x, "X1");
}

void Line::SetY1(float y) {
    Assign(m_y1, y, "Y1");
}

void Line::SetX2(float x) {
    Assign(m_x2, x, "X2");
}

void Line::SetY2(float y) {
    Assign(m_y2, y, "Y2");
}

void Line::SetBorderColor(std::uint32_t color) {
    Assign(m_borderColor, color, "BorderColor");
}

void Line::SetBorderWidth(std::int32_t width) {
    if (width < 1) {
        throw Error(error_number::InvalidPropertyValue, TypeName(), "Invalid property value: BorderWidth");
    }
    Assign(m_borderWidth, width, "BorderWidth");
}

const Control::Property* Line::FindProperty(std::string_view name) const {
    static constexpr std::array<Property, 6> kProperties{{
        {"X1", [](Control& c) -> Variant { return double{AsLine(c).X1()}; },
         [](Control& c, const Variant& v) { AsLine(c).SetX1(VariantToSingle(v)); }},
        {"Y1", [](Control& c) -> Variant { return double{AsLine(c).Y1()}; },
         [](Control& c, const Variant& v) { AsLine(c).SetY1(VariantToSingle(v)); }},
        {"X2", [](Control& c) -> Variant { return double{AsLine(c).X2()}; },
         [](Control& c, const Variant& v) { AsLine(c).SetX2(VariantToSingle(v)); }},
        {"Y2", [](Control& c) -> Variant { return double{AsLine(c).Y2()}; },
         [](Control& c, const Variant& v) { AsLine(c).SetY2(VariantToSingle(v)); }},
        {"BorderColor", [](Control& c) -> Variant { return std::int64_t{AsLine(c).BorderColor()}; },
         [](Control& c, const Variant& v) {
             AsLine(c).SetBorderColor(static_cast<std::uint32_t>(VariantToInteger(v)));
         }},
        {"BorderWidth", [](Control& c) -> Variant { return std::int64_t{AsLine(c).BorderWidth()}; },
         [](Control& c, const Variant& v) {
             AsLine(c).SetBorderWidth(static_cast<std::int32_t>(VariantToInteger(v)));
         }},
    }};
    const Property* own = FindIn(kProperties, name);
    return own != nullptr ? own : Control::FindProperty(name);
}

}  // namespace vor
