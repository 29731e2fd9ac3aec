#pragma once

#include <QFontMetrics>
#include <QString>
#include <QStringList>

namespace vor {

// A text as it can be shown in a box `width` pixels wide: every line that fits stays whole, a
// line that does not ends in an ellipsis, so that a cut is visible rather than silent.
QString FitLines(const QString& text, const QFontMetrics& metrics, int width);

// A one-line caption among `neighbours`, the captions shown next to it. When it does not fit, the
// leading words it shares with a neighbour go first ("Current Loop Proportional Gain" beside
// "Current Loop Integral Gain" shows "…Proportional Gain"), so that cut captions still tell
// their controls apart; what is still too long ends in an ellipsis.
QString FitAmong(const QString& caption, const QStringList& neighbours, const QFontMetrics& metrics, int width);

}  // namespace vor
