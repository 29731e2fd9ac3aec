#pragma once

#include <QLabel>
#include <QSize>

namespace vor::qt {

// A caption that gives way to what stands beside it: its layout ignores its size hints in both
// directions and gives it a fixed height, so it does not measure its text for them at every change
// of its text or font (the measuring lays the text out three times).
class YieldingCaption final : public QLabel {
public:
    explicit YieldingCaption(QWidget* parent) : QLabel(parent) {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    }

    QSize sizeHint() const override { return {}; }
    QSize minimumSizeHint() const override { return {}; }
};

}  // namespace vor::qt
