#include "apps/demo/WindowPicture.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QPaintDevice>

namespace vor::demo {

QImage WindowPicture(QWidget& window) {
    QBackingStore* store = window.backingStore();
    // Scaled, the store's image only borrows the platform's pixels, which the next paint changes.
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && window.devicePixelRatio() == 1 &&
        store != nullptr && store->paintDevice()->devType() == QInternal::Image) {
        // Shared, not copied: the store's next paint detaches its own image from the picture.
        return *static_cast<const QImage*>(store->paintDevice());
    }
    return window.grab().toImage();
}

}  // namespace vor::demo
