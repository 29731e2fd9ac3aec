#include "vormotor/qt/TextFit.h"

#include <algorithm>

namespace vor {
namespace {

const QChar kEllipsis(0x2026);

// How many leading words `caption` shares with the neighbour that shares the most, leaving at
// least one word of its own.
qsizetype SharedLeadingWords(const QStringList& words, const QStringList& neighbours, const QString& caption) {
    qsizetype shared = 0;
    for (const QString& neighbour : neighbours) {
        if (neighbour == caption) {
            continue;
        }
        const QStringList other = neighbour.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        qsizetype common = 0;
        while (common < std::min(words.size(), other.size()) && words[common] == other[common]) {
            ++common;
        }
        shared = std::max(shared, common);
    }
    return std::min(shared, words.size() - 1);
}

}  // namespace

QString FitLines(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        line = metrics.elidedText(line, Qt::ElideRight, width);
    }
    return lines.join(QLatin1Char('\n'));
}

QString FitAmong(const QString& caption, const QStringList& neighbours, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(caption) <= width) {
        return caption;
    }
    const QStringList words = caption.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const qsizetype shared = SharedLeadingWords(words, neighbours, caption);
    if (shared <= 0) {
        return metrics.elidedText(caption, Qt::ElideRight, width);
    }
    const QString own = words.mid(shared).join(QLatin1Char(' '));
    return kEllipsis + metrics.elidedText(own, Qt::ElideRight, width - metrics.horizontalAdvance(kEllipsis));
}

}  // namespace vor
