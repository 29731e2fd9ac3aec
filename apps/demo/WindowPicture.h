#pragma once

#include <QImage>
#include <QWidget>

namespace vor::demo {

// A shown window as its last paint left it, after the pending events have run. Off screen the
// window's backing store is that picture: it is taken as it is rather than drawing the whole
// window a second time. On a display, or scaled, the window is drawn again into a picture
// (QWidget::grab), as the backing store there may be a surface of the platform's own.
QImage WindowPicture(QWidget& window);

}  // namespace vor::demo
