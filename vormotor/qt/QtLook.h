#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <cstdint>

#include "vormotor/toolkit/Font.h"

namespace vor::qt {

// A stored colour (0x00BBGGRR) as a Qt colour; a system colour (high bit set, low byte the
// platform's system colour number) is looked up in `system`, the application's palette.
QColor ToQColor(std::uint32_t color, const QPalette& system);

QFont ToQFont(const Font& font);

// Gives `palette` the text colour `fore` for the active and inactive states (the disabled state
// keeps the greyed text of the palette it came from) and the background `back` in every state.
void SetTextColors(QPalette& palette, const QColor& fore, const QColor& back);

}  // namespace vor::qt
