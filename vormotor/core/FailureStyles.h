#pragma once

#include <exception>
#include <string_view>
#include <utility>

#include "vormotor/core/Diagnostics.h"

// How a routine of the component reacts to a failing call. There are three styles:
//  - skip the failing statement and go on: wrap each statement in SkipOnFailure;
//  - stop at the first failure: wrap the routine body once in StopOnFailure, and put a ScopedFlag
//    in front of it so the update guard is restored on every exit;
//  - no handling of its own: plain code; the failure travels to the event that called the
//    handler, which reports it and carries on with its other handlers.
// Swallowed failures are reported to Diagnostics so a host's log can still show them.

namespace vor {

namespace detail {

template <class Work>
bool RunReportingFailure(std::string_view origin, Work&& work) noexcept {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const std::exception& failure) {
        Diagnostics::Report(origin, failure);
    } catch (...) {
        Diagnostics::Report(origin, "unknown failure");
    }
    return false;
}

}  // namespace detail

// Runs one statement; a failure skips it. Returns whether it completed.
template <class Statement>
bool SkipOnFailure(Statement&& statement) noexcept {
    return detail::RunReportingFailure("skipped statement", std::forward<Statement>(statement));
}

// Runs a routine body; the first failure ends it. Returns whether it completed.
template <class Body>
bool StopOnFailure(Body&& body) noexcept {
    return detail::RunReportingFailure("stopped routine", std::forward<Body>(body));
}

// Sets a Boolean for the lifetime of the guard. On exit the flag gets back the value it had
// before, or a fixed value when one is given.
class ScopedFlag {
public:
    ScopedFlag(bool& flag, bool during) : m_flag(flag), m_onExit(flag) { m_flag = during; }
    ScopedFlag(bool& flag, bool during, bool onExit) : m_flag(flag), m_onExit(onExit) { m_flag = during; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;
    ~ScopedFlag() { m_flag = m_onExit; }

private:
    bool& m_flag;
    bool m_onExit;
};

}  // namespace vor
