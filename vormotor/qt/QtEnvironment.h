#pragma once

namespace vor {

// Call before the QApplication is created. Outside a desktop session (a build machine, a
// container, the offscreen platform) Qt complains about things that do not matter there: a
// missing runtime directory, which is made privately here as the session would, and window
// features the platform lacks ("This plugin does not support propagateSizeHints()"), which are
// dropped from the log. Every other message goes where it went before.
void PrepareQtEnvironment();

}  // namespace vor
