#include "vormotor/toolkit/PanelSurface.h"

namespace vor {

void PanelSurface::Resize(float width, float height) {
    m_width = width;
    m_height = height;
    m_resized.Raise();
}

void PanelSurface::Show() {
    if (!m_visible) {
        m_visible = true;
        m_shown.Raise();
    }
}

void PanelSurface::Hide() {
    if (m_visible) {
        m_visible = false;
        m_hidden.Raise();
    }
}

void PanelSurface::Refresh() {
    ++m_repaintRequests;
    m_repaintRequested.Raise();
}

}  // namespace vor
