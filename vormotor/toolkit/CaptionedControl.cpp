#include "vormotor/toolkit/CaptionedControl.h"

#include <array>
#include <utility>

namespace vor {

void CaptionedControl::SetCaption(std::string caption) {
    Assign(m_caption, std::move(caption), "Caption");
}

const Control::Property* CaptionedControl::FindProperty(std::string_view name) const {
    static constexpr std::array<Property, 1> kProperties{{
        {"Caption", [](Control& c) -> Variant { return static_cast<CaptionedControl&>(c).Caption(); },
         [](Control& c, const Variant& v) { static_cast<CaptionedControl&>(c).SetCaption(VariantToText(v)); }},
    }};
    const Property* own = FindIn(kProperties, name);
    return own != nullptr ? own : Control::FindProperty(name);
}

}  // namespace vor
