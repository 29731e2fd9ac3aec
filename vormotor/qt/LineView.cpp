#include "vormotor/qt/LineView.h"

#include <QApplication>
#include <QPainter>

#include "vormotor/qt/PanelView.h"
#include "vormotor/qt/QtLook.h"

namespace vor::qt {

LineWidget::LineWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::SetLine(QLine line, QColor color, int width) {
    m_line = line;
    m_color = color;
    m_width = width;
    update();
}

void LineWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(m_color, m_width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(m_line);
}

LineView::LineView(PanelView& panel, Line& line, QWidget* container)
    : ControlView(panel, line, new LineWidget(container)), m_line(line), m_widget(static_cast<LineWidget*>(Widget())) {
    m_widget->lower();
}

void LineView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<LineView>, 6> kOwn{{
        {"X1", &LineView::ApplyLine},
        {"Y1", &LineView::ApplyLine},
        {"X2", &LineView::ApplyLine},
        {"Y2", &LineView::ApplyLine},
        {"BorderColor", &LineView::ApplyLine},
        {"BorderWidth", &LineView::ApplyLine},
    }};
    Run(*this, kOwn, property);
}

QLine LineView::EndPoints() const {
    const TwipScale& scale = Panel().Scale();
    return QLine(scale.ToPixelsX(m_line.X1()), scale.ToPixelsY(m_line.Y1()), scale.ToPixelsX(m_line.X2()),
                 scale.ToPixelsY(m_line.Y2()));
}

// The bounding box of the end points, widened by the pen so that thick lines are not clipped.
QRect LineView::Geometry() const {
    const QLine ends = EndPoints();
    const int margin = (m_line.BorderWidth() + 1) / 2;
    return QRect(ends.p1(), ends.p2()).normalized().adjusted(-margin, -margin, margin, margin);
}

void LineView::ApplyLine() {
    ApplyGeometry();
    const QPoint origin = Geometry().topLeft();
    m_widget->SetLine(EndPoints().translated(-origin), ToQColor(m_line.BorderColor(), QApplication::palette()),
                      m_line.BorderWidth());
}

}  // namespace vor::qt
