#pragma once

#include <QString>

namespace vor::qt {

// Everything an operable control's widget may explain when the pointer rests on it (a greyed-out
// one answers with its reasons instead, from DisabledReasonTips). Only one text can be shown, so
// the sources are ranked: what went wrong with the user's last input first, then the control's own
// tip. A new source is one more member and one more place in `Chosen`.
struct ToolTipSources {
    QString message;   // the editor's reason for refusing the last input
    QString designed;  // the control's ToolTipText

    QString Chosen() const;
};

}  // namespace vor::qt

// The names above as hosts know them, in vor.
namespace vor {
using qt::ToolTipSources;
}  // namespace vor
