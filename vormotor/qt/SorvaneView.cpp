#include "vormotor/qt/SorvaneView.h"

#include <QToolTip>
#include <algorithm>

#include "vormotor/qt/PanelView.h"

namespace vor::qt {
namespace {

constexpr std::int32_t kVertical = 1;

}  // namespace

SorvaneView::SorvaneView(PanelView& panel, editors::SorvaneGroup& group, QWidget* container)
    : ControlView(panel, group, new QWidget(container)),
      m_group(group),
      m_layout(new QGridLayout(Widget())),
      m_buttonGroup(new QButtonGroup(Widget())) {
    m_layout->setContentsMargins(2, 0, 2, 0);
    // The group enforces one selection itself; Qt's exclusivity would not let "none" be shown.
    m_buttonGroup->setExclusive(false);
    QObject::connect(m_buttonGroup, &QButtonGroup::idClicked, Receiver(), [this](int id) { Clicked(id); });
}

// Tab enters a group of radio buttons at the first of them in the chain and leaves it at the
// next: the chosen option comes first, so that Tab lands on it.
std::vector<QWidget*> SorvaneView::FocusWidgets() const {
    std::vector<QWidget*> buttons(m_buttons.begin(), m_buttons.end());
    std::stable_partition(buttons.begin(), buttons.end(),
                          [](QWidget* button) { return static_cast<QRadioButton*>(button)->isChecked(); });
    return buttons;
}

void SorvaneView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<SorvaneView>, 7> kOwn{{
        {"Options", &SorvaneView::ApplyOptions},
        {"Selected", &SorvaneView::ApplySelection},
        {"orientation", &SorvaneView::Arrange},
        {"Width", &SorvaneView::Arrange},
        {"Font", &SorvaneView::Arrange},
        {"FontBold", &SorvaneView::Arrange},
        {"Message", &SorvaneView::ApplyMessage},
    }};
    Run(*this, kOwn, property);
}

void SorvaneView::ApplyOptions() {
    // Later: the options may change while one of these buttons is still delivering its click.
    for (QRadioButton* button : m_buttons) {
        m_buttonGroup->removeButton(button);
        button->hide();
        button->deleteLater();
    }
    m_buttons.clear();
    const auto& options = m_group.Options();
    for (std::size_t index = 0; index < options.size(); ++index) {
        auto* button = new QRadioButton(QString::fromStdString(options[index].text), Widget());
        button->setAccessibleName(button->text());
        m_buttonGroup->addButton(button, static_cast<int>(index));
        m_buttons.push_back(button);
    }
    Arrange();
    ApplySelection();
    // New buttons start with the default focus policy and at the end of the tab chain.
    ApplyTabStop();
    ApplyToolTip();
    Panel().UpdateTabOrder();
}

void SorvaneView::ApplySelection() {
    for (std::size_t index = 0; index < m_buttons.size(); ++index) {
        m_buttons[index]->setChecked(static_cast<std::int32_t>(index) == m_group.Selected());
    }
    Panel().UpdateTabOrder();
}

// Side by side, the buttons take as many rows as they need to fit the group's width.
void SorvaneView::Arrange() {
    const int count = static_cast<int>(m_buttons.size());
    int wanted = 0;
    for (QRadioButton* button : m_buttons) {
        m_layout->removeWidget(button);
        wanted += button->sizeHint().width() + m_layout->horizontalSpacing();
    }
    int columns = 1;
    if (m_group.Orientation() != kVertical && count > 0) {
        const QMargins margins = m_layout->contentsMargins();
        const int room = std::max(1, Widget()->width() - margins.left() - margins.right());
        const int rows = std::clamp((wanted + room - 1) / room, 1, count);
        columns = (count + rows - 1) / rows;
    }
    for (int index = 0; index < count; ++index) {
        QRadioButton* button = m_buttons[static_cast<std::size_t>(index)];
        m_layout->addWidget(button, index / columns, index % columns);
        // Qt would show a new button only once the event loop runs; the tree's state is now.
        button->show();
    }
}

QString SorvaneView::AccessibleName() const {
    const QString field = QString::fromStdString(m_group.FieldKey());
    return field.isEmpty() ? ControlView::AccessibleName() : field;
}

void SorvaneView::ApplyMessage() {
    ToolTips().message = QString::fromStdString(m_group.Message());
    ApplyToolTip();
}

void SorvaneView::Clicked(int index) {
    bool picked = false;
    Guarded("Sorvane pick", [&] { picked = m_group.UserPick(index); });
    // A click toggles the button in Qt; what is selected is the group's business.
    ApplySelection();
    if (!picked) {
        QToolTip::showText(Widget()->mapToGlobal(QPoint(0, Widget()->height())),
                           QString::fromStdString(m_group.Message()), Widget());
    }
}

}  // namespace vor::qt
