#include "vormotor/toolkit/Control.h"

#include <array>
#include <utility>

#include "vormotor/core/Error.h"
#include "vormotor/toolkit/PropertyErrors.h"

namespace vor {
namespace {

std::uint32_t ToColor(const Variant& value) {
    return static_cast<std::uint32_t>(VariantToInteger(value));
}

}  // namespace

Control::Control(std::string name, std::optional<std::int32_t> index) : m_name(std::move(name)), m_index(index) {}

void Control::SetContainer(Control* container) {
    for (const Control* ancestor = container; ancestor != nullptr; ancestor = ancestor->m_container) {
        if (ancestor == this) {
            throw Error(error_number::InvalidPropertyValue, TypeName(),
                        "A control cannot be placed inside itself: " + m_name);
        }
    }
    Assign(m_container, container, "Container");
}

void Control::SetLeft(float left) {
    Assign(m_left, left, "Left");
}

void Control::SetTop(float top) {
    Assign(m_top, top, "Top");
}

void Control::SetWidth(float width) {
    Assign(m_width, width, "Width");
}

void Control::SetHeight(float height) {
    Assign(m_height, height, "Height");
}

void Control::Move(float left, float top, float width, float height) {
    SetLeft(left);
    SetTop(top);
    SetWidth(width);
    SetHeight(height);
}

bool Control::EffectiveVisible() const noexcept {
    return m_visible && (m_container == nullptr || m_container->EffectiveVisible());
}

bool Control::EffectiveEnabled() const noexcept {
    return m_enabled && (m_container == nullptr || m_container->EffectiveEnabled());
}

void Control::SetFont(const Font& font) {
    Assign(m_font, font, "Font");
}

void Control::SetBackColor(std::uint32_t color) {
    Assign(m_backColor, color, "BackColor");
}

void Control::SetToolTipText(std::string text) {
    Assign(m_toolTipText, std::move(text), "ToolTipText");
}

void Control::SetHelpContextId(std::int32_t id) {
    Assign(m_helpContextId, id, "HelpContextID");
}

void Control::Refresh() {
    ++m_repaintRequests;
    Notify("Refresh");
}

void Control::Notify(std::string_view property) {
    if (!m_propertyChanged.HasHandlers()) {
        return;
    }
    m_propertyChanged.Raise(*this, std::string(property));
}

Variant Control::Get(std::string_view name) {
    const Property* property = FindProperty(name);
    if (property == nullptr) {
        ThrowUnknownProperty(TypeName(), name);
    }
    return property->get(*this);
}

void Control::Set(std::string_view name, const Variant& value) {
    const Property* property = FindProperty(name);
    if (property == nullptr) {
        ThrowUnknownProperty(TypeName(), name);
    }
    if (property->set == nullptr) {
        ThrowReadOnlyProperty(TypeName(), name);
    }
    property->set(*this, value);
}

const Control::Property* Control::FindIn(std::span<const Property> table, std::string_view name) {
    for (const Property& property : table) {
        if (property.name == name) {
            return &property;
        }
    }
    return nullptr;
}

const Control::Property* Control::FindProperty(std::string_view name) const {
    static constexpr std::array<Property, 17> kProperties{{
        {"Name", [](Control& c) -> Variant { return c.Name(); }, nullptr},
        {"Index",
         [](Control& c) -> Variant { return c.Index() ? Variant(static_cast<std::int64_t>(*c.Index())) : Variant(); },
         nullptr},
        {"Left", [](Control& c) -> Variant { return double{c.Left()}; },
         [](Control& c, const Variant& v) { c.SetLeft(VariantToSingle(v)); }},
        {"Top", [](Control& c) -> Variant { return double{c.Top()}; },
         [](Control& c, const Variant& v) { c.SetTop(VariantToSingle(v)); }},
        {"Width", [](Control& c) -> Variant { return double{c.Width()}; },
         [](Control& c, const Variant& v) { c.SetWidth(VariantToSingle(v)); }},
        {"Height", [](Control& c) -> Variant { return double{c.Height()}; },
         [](Control& c, const Variant& v) { c.SetHeight(VariantToSingle(v)); }},
        {"Visible", [](Control& c) -> Variant { return c.Visible(); },
         [](Control& c, const Variant& v) { c.SetVisible(VariantToBool(v)); }},
        {"Enabled", [](Control& c) -> Variant { return c.Enabled(); },
         [](Control& c, const Variant& v) { c.SetEnabled(VariantToBool(v)); }},
        {"TabStop", [](Control& c) -> Variant { return c.TabStop(); },
         [](Control& c, const Variant& v) { c.SetTabStop(VariantToBool(v)); }},
        {"FontName", [](Control& c) -> Variant { return c.GetFont().name; },
         [](Control& c, const Variant& v) {
             Font font = c.GetFont();
             font.name = VariantToText(v);
             c.SetFont(font);
         }},
        {"FontSize", [](Control& c) -> Variant { return double{c.GetFont().size}; },
         [](Control& c, const Variant& v) {
             Font font = c.GetFont();
             font.size = VariantToSingle(v);
             c.SetFont(font);
         }},
        {"FontBold", [](Control& c) -> Variant { return c.FontBold(); },
         [](Control& c, const Variant& v) { c.SetFontBold(VariantToBool(v)); }},
        {"FontItalic", [](Control& c) -> Variant { return c.GetFont().italic; },
         [](Control& c, const Variant& v) {
             Font font = c.GetFont();
             font.italic = VariantToBool(v);
             c.SetFont(font);
         }},
        {"ForeColor", [](Control& c) -> Variant { return std::int64_t{c.ForeColor()}; },
         [](Control& c, const Variant& v) { c.SetForeColor(ToColor(v)); }},
        {"BackColor", [](Control& c) -> Variant { return std::int64_t{c.BackColor()}; },
         [](Control& c, const Variant& v) { c.SetBackColor(ToColor(v)); }},
        {"ToolTipText", [](Control& c) -> Variant { return c.ToolTipText(); },
         [](Control& c, const Variant& v) { c.SetToolTipText(VariantToText(v)); }},
        {"HelpContextID", [](Control& c) -> Variant { return std::int64_t{c.HelpContextId()}; },
         [](Control& c, const Variant& v) { c.SetHelpContextId(static_cast<std::int32_t>(VariantToInteger(v))); }},
    }};
    return FindIn(kProperties, name);
}

}  // namespace vor
