#pragma once

#include <exception>
#include <functional>
#include <string_view>

namespace vor {

// Failures that the component deliberately swallows (a throwing event handler, a skipped
// statement) are still worth seeing in a host's log. They all go through this one hook.
class Diagnostics {
public:
    using Sink = std::function<void(std::string_view origin, std::string_view what)>;

    // Installs a sink and returns the previous one; an empty sink discards reports.
    static Sink SetSink(Sink sink);

    // Never throws: a report must not turn a swallowed failure into a new one.
    static void Report(std::string_view origin, const std::exception& failure) noexcept;
    static void Report(std::string_view origin, std::string_view what) noexcept;
};

}  // namespace vor
