#pragma once

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include "vormotor/editors/SorvaneGroup.h"
#include "vormotor/qt/ControlView.h"

namespace vor::qt {

// The field radio group: one radio button per option of the group, side by side (in as many rows
// as the group's width needs), or one under the other with orientation 1. Only a click by the
// user reaches the group, as a user pick; a refused pick shows the group's message and the
// group's selection again.
class SorvaneView final : public ControlView {
public:
    SorvaneView(PanelView& panel, editors::SorvaneGroup& group, QWidget* container);

    std::vector<QWidget*> FocusWidgets() const override;
    const std::vector<QRadioButton*>& Buttons() const noexcept { return m_buttons; }

protected:
    void ApplyOwn(std::string_view property) override;
    // The name of the field it edits, where it has one.
    QString AccessibleName() const override;

private:
    void ApplyOptions();
    void ApplySelection();
    void Arrange();
    void ApplyMessage();
    void Clicked(int index);

    editors::SorvaneGroup& m_group;
    QGridLayout* m_layout;
    QButtonGroup* m_buttonGroup;
    std::vector<QRadioButton*> m_buttons;
};

}  // namespace vor::qt
