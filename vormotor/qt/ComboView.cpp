#include "vormotor/qt/ComboView.h"

#include <QSignalBlocker>

namespace vor::qt {

ComboView::ComboView(PanelView& panel, ComboBox& combo, QWidget* container)
    : ControlView(panel, combo, new QComboBox(container)), m_combo(combo), m_box(static_cast<QComboBox*>(Widget())) {
    m_box->setEditable(false);
    QObject::connect(m_box, &QComboBox::activated, Receiver(), [this](int index) { Picked(index); });
}

void ComboView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<ComboView>, 2> kOwn{{
        {"List", &ComboView::ApplyItems},
        {"ListIndex", &ComboView::ApplySelection},
    }};
    Run(*this, kOwn, property);
}

void ComboView::ApplyItems() {
    const QSignalBlocker blocker(m_box);
    m_box->clear();
    for (const auto& item : m_combo.Items()) {
        m_box->addItem(QString::fromStdString(item.text), item.data);
    }
    m_box->setCurrentIndex(m_combo.ListIndex());
}

void ComboView::ApplySelection() {
    const QSignalBlocker blocker(m_box);
    m_box->setCurrentIndex(m_combo.ListIndex());
}

void ComboView::Picked(int index) {
    Guarded("ComboBox pick", [&] { m_combo.UserPick(index); });
    // The list may have refused the pick, or the panel may have put its own selection back
    // without a change to announce.
    ApplySelection();
}

}  // namespace vor::qt
