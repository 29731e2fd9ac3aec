#pragma once

#include <QFontMetrics>
#include <QString>
#include <optional>

namespace vor::qt {

// A text broken into lines at its blanks, each line at most `width` pixels wide; the text's own
// line breaks stay. Nothing is dropped and no word is broken: empty when a word alone is wider
// than `width`.
std::optional<QString> WrapWords(const QString& text, const QFontMetrics& metrics, int width);

}  // namespace vor::qt
