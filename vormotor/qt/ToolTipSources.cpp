#include "vormotor/qt/ToolTipSources.h"

#include <array>

namespace vor::qt {

QString ToolTipSources::Chosen() const {
    static constexpr std::array<QString ToolTipSources::*, 2> kByRank{&ToolTipSources::message,
                                                                      &ToolTipSources::designed};
    for (QString ToolTipSources::*source : kByRank) {
        if (!(this->*source).isEmpty()) {
            return this->*source;
        }
    }
    return {};
}

}  // namespace vor::qt
