#pragma once

#include <cstdint>

#include "vormotor/core/Event.h"
#include "vormotor/toolkit/Font.h"

namespace vor {

// The surface a panel is drawn on, sized and shown by the host. Sizes are twips.
class PanelSurface {
public:
    PanelSurface(float width, float height) : m_width(width), m_height(height) {}
    PanelSurface(const PanelSurface&) = delete;
    PanelSurface& operator=(const PanelSurface&) = delete;

    float ScaleWidth() const noexcept { return m_width; }
    float ScaleHeight() const noexcept { return m_height; }
    // The host calls this whenever it sizes the panel, the first sizing included; each call
    // raises Resized.
    void Resize(float width, float height);

    bool Visible() const noexcept { return m_visible; }
    // Raise Shown / Hidden when the visibility actually changes.
    void Show();
    void Hide();

    const Font& GetFont() const noexcept { return m_font; }

    // Asks for a repaint of the whole surface; counted, and announced to front-ends.
    void Refresh();
    std::int32_t RepaintRequests() const noexcept { return m_repaintRequests; }

    EventSource<>& Resized() noexcept { return m_resized; }
    EventSource<>& Shown() noexcept { return m_shown; }
    EventSource<>& Hidden() noexcept { return m_hidden; }
    EventSource<>& RepaintRequested() noexcept { return m_repaintRequested; }

private:
    float m_width;
    float m_height;
    bool m_visible = false;
    Font m_font;
    std::int32_t m_repaintRequests = 0;
    Event<> m_resized;
    Event<> m_shown;
    Event<> m_hidden;
    Event<> m_repaintRequested;
};

}  // namespace vor
