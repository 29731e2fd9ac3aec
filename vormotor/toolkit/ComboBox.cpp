#include "vormotor/toolkit/ComboBox.h"

#include <array>
#include <utility>

#include "vormotor/core/Error.h"

namespace vor {
namespace {

ComboBox& AsCombo(Control& control) {
    return static_cast<ComboBox&>(control);
}

}  // namespace

std::int32_t ComboBox::AddItem(std::string text) {
    m_items.push_back(Item{std::move(text), 0});
    Notify("List");
    return ListCount() - 1;
}

void ComboBox::Clear() {
    if (m_items.empty() && m_listIndex == -1) {
        return;
    }
    m_items.clear();
    Assign(m_listIndex, -1, "ListIndex");
    Notify("List");
}

const std::string& ComboBox::List(std::int32_t index) const {
    CheckIndex(index);
    return m_items[static_cast<std::size_t>(index)].text;
}

std::int32_t ComboBox::ItemData(std::int32_t index) const {
    CheckIndex(index);
    return m_items[static_cast<std::size_t>(index)].data;
}

void ComboBox::SetItemData(std::int32_t index, std::int32_t data) {
    CheckIndex(index);
    auto& item = m_items[static_cast<std::size_t>(index)];
    if (item.data != data) {
        item.data = data;
        Notify("List");
    }
}

void ComboBox::SetListIndex(std::int32_t index) {
    if (index != -1) {
        CheckIndex(index);
    }
    if (index == m_listIndex) {
        return;
    }
    Assign(m_listIndex, index, "ListIndex");
    m_click.Raise();
}

std::string_view ComboBox::ShownText() const noexcept {
    return m_listIndex < 0 ? std::string_view() : std::string_view(m_items[static_cast<std::size_t>(m_listIndex)].text);
}

void ComboBox::UserPick(std::int32_t index) {
    if (!EffectiveVisible() || !EffectiveEnabled()) {
        throw Error(error_number::InvalidPropertyValue, TypeName(),
                    "The list " + Name() + " cannot be operated now (hidden or disabled).");
    }
    CheckIndex(index);
    Assign(m_listIndex, index, "ListIndex");
    m_click.Raise();
}

void ComboBox::RefuseIndex(std::int32_t index) const {
    throw Error(error_number::InvalidPropertyValue, TypeName(),
                "Invalid list index " + std::to_string(index) + " for " + Name());
}

const Control::Property* ComboBox::FindProperty(std::string_view name) const {
    static constexpr std::array<Property, 3> kProperties{{
        {"Text", [](Control& c) -> Variant { return AsCombo(c).Text(); }, nullptr},
        {"ListIndex", [](Control& c) -> Variant { return std::int64_t{AsCombo(c).ListIndex()}; },
         [](Control& c, const Variant& v) { AsCombo(c).SetListIndex(static_cast<std::int32_t>(VariantToInteger(v))); }},
        {"ListCount", [](Control& c) -> Variant { return std::int64_t{AsCombo(c).ListCount()}; }, nullptr},
    }};
    const Property* own = FindIn(kProperties, name);
    return own != nullptr ? own : Control::FindProperty(name);
}

}  // namespace vor
