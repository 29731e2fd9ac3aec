#pragma once

#include <QString>

namespace vor::qt {

// Call before the QApplication is created. Outside a desktop session (a build machine, a
// container, the offscreen platform) Qt complains about things that do not matter there: a
// missing runtime directory, which is made privately here as the session would, and window
// features the platform lacks ("This plugin does not support propagateSizeHints()"), which are
// dropped from the log. Every other message goes where it went before.
//
// An X display that cannot be reached would end the process inside Qt. Unless the platform was
// chosen otherwise, Qt is told to fall back to drawing off screen instead, and the program asks
// `UnreachableDisplay` once the QApplication exists.
void PrepareQtEnvironment();

// The X display (DISPLAY) that Qt could not connect to, or empty when the window is on the
// display it was meant for. Only meaningful once the QApplication exists.
QString UnreachableDisplay();

}  // namespace vor::qt

// The names above as hosts know them, in vor.
namespace vor {
using qt::PrepareQtEnvironment;
using qt::UnreachableDisplay;
}  // namespace vor
