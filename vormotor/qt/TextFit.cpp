#include "vormotor/qt/TextFit.h"

#include <QStringList>

namespace vor::qt {

std::optional<QString> WrapWords(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList wrapped;
    // A caption's "\r\n" is one line break.
    for (const QString& paragraph : QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (metrics.horizontalAdvance(word) > width) {
                return std::nullopt;
            }
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
                wrapped.append(line);
                line = word;
            } else {
                line = longer;
            }
        }
        wrapped.append(line);
    }
    return wrapped.join(QLatin1Char('\n'));
}

}  // namespace vor::qt
