#pragma once

#include <QColor>
#include <QLine>
#include <QWidget>

namespace vor::qt {

// Paints one straight line; the widget covers the line's bounding box and lets mouse input
// through to what lies below.
class LineWidget final : public QWidget {
public:
    explicit LineWidget(QWidget* parent);

    // `line` is in the widget's own coordinates.
    void SetLine(QLine line, QColor color, int width);
    QColor Color() const noexcept { return m_color; }
    int PenWidth() const noexcept { return m_width; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLine m_line;
    QColor m_color;
    int m_width = 1;
};

}  // namespace vor::qt
