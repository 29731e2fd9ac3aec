#include "vormotor/core/Diagnostics.h"

#include <utility>

namespace vor {
namespace {

Diagnostics::Sink& CurrentSink() {
    static Diagnostics::Sink sink;
    return sink;
}

}  // namespace

Diagnostics::Sink Diagnostics::SetSink(Sink sink) {
    return std::exchange(CurrentSink(), std::move(sink));
}

void Diagnostics::Report(std::string_view origin, const std::exception& failure) noexcept {
    Report(origin, std::string_view(failure.what()));
}

void Diagnostics::Report(std::string_view origin, std::string_view what) noexcept {
    const auto& sink = CurrentSink();
    if (!sink) {
        return;
    }
    try {
        sink(origin, what);
    } catch (...) {
        // A failing sink has nowhere left to report to.
    }
}

}  // namespace vor
