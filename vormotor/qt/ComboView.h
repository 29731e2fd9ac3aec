#pragma once

#include <QComboBox>

#include "vormotor/qt/ControlView.h"
#include "vormotor/toolkit/ComboBox.h"

namespace vor::qt {

// A drop-down list. The tree's items and selection are copied in with the widget's signals
// blocked, so that only a pick by the user (Qt's `activated`) reaches the list, as a user pick.
class ComboView final : public ControlView {
public:
    ComboView(PanelView& panel, ComboBox& combo, QWidget* container);

    std::vector<QWidget*> FocusWidgets() const override { return {m_box}; }

protected:
    void ApplyOwn(std::string_view property) override;

private:
    void ApplyItems();
    void ApplySelection();
    void Picked(int index);

    ComboBox& m_combo;
    QComboBox* m_box;
};

}  // namespace vor::qt
