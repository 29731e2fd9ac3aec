#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/core/Event.h"
#include "vormotor/toolkit/Control.h"

namespace vor {

// A list-only drop-down: the user can pick an item but not type. Items carry a 32-bit value.
class ComboBox final : public Control {
public:
    using Control::Control;

    std::string TypeName() const override { return "ComboBox"; }

    struct Item {
        std::string text;
        std::int32_t data = 0;

        bool operator==(const Item&) const = default;
    };

    // Appends an item with data 0 and returns its index.
    std::int32_t AddItem(std::string text);
    void Clear();
    std::int32_t ListCount() const noexcept { return static_cast<std::int32_t>(m_items.size()); }
    const std::vector<Item>& Items() const noexcept { return m_items; }
    const std::string& List(std::int32_t index) const;
    std::int32_t ItemData(std::int32_t index) const;
    void SetItemData(std::int32_t index, std::int32_t data);

    // -1 when nothing is selected.
    std::int32_t ListIndex() const noexcept { return m_listIndex; }
    // Raises Click when the selection changes.
    void SetListIndex(std::int32_t index);
    // The selected item's text; empty when nothing is selected.
    std::string Text() const { return std::string(ShownText()); }
    // The picked item's text, empty when none is picked.
    std::string_view ShownText() const noexcept;

    // A pick by the user. Like the platform's list it notifies Click even when the picked item was
    // already selected. Refused when the user could not reach the list (hidden or inoperable).
    void UserPick(std::int32_t index);

    EventSource<>& Click() noexcept { return m_click; }

protected:
    const Property* FindProperty(std::string_view name) const override;

private:
    // Inline: a list rebuild checks every index it touches.
    void CheckIndex(std::int32_t index) const {
        if (index < 0 || index >= ListCount()) {
            RefuseIndex(index);
        }
    }
    [[noreturn]] void RefuseIndex(std::int32_t index) const;

    std::vector<Item> m_items;
    std::int32_t m_listIndex = -1;
    Event<> m_click;
};

}  // namespace vor
