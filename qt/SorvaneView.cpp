#include "qt/SorvaneView.h"

#include <QToolTip>

#include "qt/PanelView.h"

namespace vor {
namespace {

constexpr std::int32_t kVertical = 1;

}  // namespace

SorvaneView::SorvaneView(PanelView& panel, SorvaneGroup& group, QWidget* container)
    : ControlView(panel, group, new QWidget(container)),
      m_group(group),
      m_layout(new QBoxLayout(QBoxLayout::LeftToRight, Widget())),
      m_buttonGroup(new QButtonGroup(Widget())) {
    m_layout->setContentsMargins(2, 0, 2, 0);
    // The group enforces one selection itself; Qt's exclusivity would not let "none" be shown.
    m_buttonGroup->setExclusive(false);
    QObject::connect(m_buttonGroup, &QButtonGroup::idClicked, Widget(), [this](int id) { Clicked(id); });
}

std::vector<QWidget*> SorvaneView::FocusWidgets() const {
    return {m_buttons.begin(), m_buttons.end()};
}

bool SorvaneView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<SorvaneView>, 4> kOwn{{
        {"Options", &SorvaneView::ApplyOptions},
        {"Selected", &SorvaneView::ApplySelection},
        {"orientation", &SorvaneView::ApplyOrientation},
        {"Message", &SorvaneView::ApplyMessage},
    }};
    return Run(*this, kOwn, property);
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
        m_buttonGroup->addButton(button, static_cast<int>(index));
        m_layout->addWidget(button);
        m_buttons.push_back(button);
    }
    ApplySelection();
    // New buttons start with the default focus policy and at the end of the tab chain.
    ApplyTabStop();
    Panel().UpdateTabOrder();
}

void SorvaneView::ApplySelection() {
    for (std::size_t index = 0; index < m_buttons.size(); ++index) {
        m_buttons[index]->setChecked(static_cast<std::int32_t>(index) == m_group.Selected());
    }
}

void SorvaneView::ApplyOrientation() {
    m_layout->setDirection(m_group.Orientation() == kVertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
}

void SorvaneView::ApplyMessage() {
    Widget()->setToolTip(QString::fromStdString(m_group.Message()));
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

}  // namespace vor
