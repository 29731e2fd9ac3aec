#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "vormotor/core/Event.h"
#include "vormotor/toolkit/Colors.h"
#include "vormotor/toolkit/Dispatch.h"
#include "vormotor/toolkit/Font.h"

namespace vor {

// A control of the toolkit-neutral control tree. Positions and sizes are twips relative to the
// container; a control without a container sits directly on the panel surface. Every property
// change is announced through PropertyChanged so that a front-end can mirror the tree. The
// states a panel reassigns on every walk are set inline: most assignments change nothing.
class Control : public Dispatch {
public:
    Control(std::string name, std::optional<std::int32_t> index);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const noexcept { return m_name; }
    // Set for the elements of a control array.
    std::optional<std::int32_t> Index() const noexcept { return m_index; }

    Control* Container() const noexcept { return m_container; }
    void SetContainer(Control* container);

    float Left() const noexcept { return m_left; }
    float Top() const noexcept { return m_top; }
    float Width() const noexcept { return m_width; }
    float Height() const noexcept { return m_height; }
    void SetLeft(float left);
    void SetTop(float top);
    void SetWidth(float width);
    void SetHeight(float height);
    void Move(float left, float top, float width, float height);

    bool Visible() const noexcept { return m_visible; }
    void SetVisible(bool visible) { Assign(m_visible, visible, "Visible"); }
    // Visible and inside visible containers.
    bool EffectiveVisible() const noexcept;

    // The control's own state.
    bool Enabled() const noexcept { return m_enabled; }
    void SetEnabled(bool enabled) { Assign(m_enabled, enabled, "Enabled"); }
    // Whether the user can operate it: a disabled container makes everything inside inoperable.
    bool EffectiveEnabled() const noexcept;

    bool TabStop() const noexcept { return m_tabStop; }
    void SetTabStop(bool tabStop) { Assign(m_tabStop, tabStop, "TabStop"); }

    const Font& GetFont() const noexcept { return m_font; }
    void SetFont(const Font& font);
    bool FontBold() const noexcept { return m_font.bold; }
    void SetFontBold(bool bold) { Assign(m_font.bold, bold, "FontBold"); }

    std::uint32_t ForeColor() const noexcept { return m_foreColor; }
    void SetForeColor(std::uint32_t color) { Assign(m_foreColor, color, "ForeColor"); }
    std::uint32_t BackColor() const noexcept { return m_backColor; }
    void SetBackColor(std::uint32_t color);

    const std::string& ToolTipText() const noexcept { return m_toolTipText; }
    void SetToolTipText(std::string text);

    std::int32_t HelpContextId() const noexcept { return m_helpContextId; }
    void SetHelpContextId(std::int32_t id);

    // Asks for a repaint. The tree only counts the requests; front-ends repaint on the notification.
    void Refresh();
    std::int32_t RepaintRequests() const noexcept { return m_repaintRequests; }

    // (control, property name); a repaint request is announced as "Refresh".
    EventSource<Control&, std::string>& PropertyChanged() noexcept { return m_propertyChanged; }

    Variant Get(std::string_view name) override;
    void Set(std::string_view name, const Variant& value) override;

protected:
    // One row of a class's by-name property table; set is null for read-only properties.
    struct Property {
        std::string_view name;
        Variant (*get)(Control&);
        void (*set)(Control&, const Variant&);
    };

    // Derived classes look in their own table first and then ask their base.
    virtual const Property* FindProperty(std::string_view name) const;
    static const Property* FindIn(std::span<const Property> table, std::string_view name);

    // The name becomes a string only for a handler to receive: without one, a change costs
    // no more than the comparison that found it.
    void Notify(std::string_view property);

    // Stores the value and announces the change, if it is one.
    template <class T, class U>
    void Assign(T& field, U&& value, std::string_view property) {
        if (field == value) {
            return;
        }
        field = std::forward<U>(value);
        Notify(property);
    }

private:
    std::string m_name;
    std::optional<std::int32_t> m_index;
    Control* m_container = nullptr;

    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_tabStop = true;

    Font m_font;
    std::uint32_t m_foreColor = colors::ButtonText;
    std::uint32_t m_backColor = colors::ButtonFace;
    std::string m_toolTipText;
    std::int32_t m_helpContextId = 0;

    std::int32_t m_repaintRequests = 0;
    Event<Control&, std::string> m_propertyChanged;
};

}  // namespace vor
