#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "vormotor/core/Diagnostics.h"
#include "vormotor/core/Error.h"
#include "vormotor/core/FailureStyles.h"

namespace vor {
namespace {

TEST(FailureStyles, SkipOnFailureSkipsOnlyTheFailingStatement) {
    std::vector<std::string> reports;
    auto previous = Diagnostics::SetSink([&](std::string_view origin, std::string_view what) {
        reports.push_back(std::string(origin) + ": " + std::string(what));
    });
    std::vector<int> done;
    EXPECT_TRUE(SkipOnFailure([&] { done.push_back(1); }));
    EXPECT_FALSE(SkipOnFailure([&] {
        throw Error(91, "test", "Object variable not set");
        done.push_back(2);
    }));
    EXPECT_TRUE(SkipOnFailure([&] { done.push_back(3); }));
    Diagnostics::SetSink(previous);
    EXPECT_EQ(done, (std::vector<int>{1, 3}));
    EXPECT_EQ(reports, (std::vector<std::string>{"skipped statement: Object variable not set"}));
}

TEST(FailureStyles, StopOnFailureWithGuardRestoresTheFlagOnEveryExit) {
    bool updating = false;
    std::vector<int> done;
    {
        ScopedFlag guard(updating, true);
        EXPECT_FALSE(StopOnFailure([&] {
            done.push_back(1);
            EXPECT_TRUE(updating);
            throw std::runtime_error("fails");
            done.push_back(2);
        }));
    }
    EXPECT_FALSE(updating);
    EXPECT_EQ(done, (std::vector<int>{1}));
}

TEST(FailureStyles, NestedGuardsKeepTheOuterValue) {
    bool updating = false;
    {
        ScopedFlag outer(updating, true);
        { ScopedFlag inner(updating, true); }
        EXPECT_TRUE(updating);
    }
    EXPECT_FALSE(updating);
}

TEST(FailureStyles, GuardWithFixedExitValue) {
    bool updating = true;
    { ScopedFlag guard(updating, true, false); }
    EXPECT_FALSE(updating);
}

}  // namespace
}  // namespace vor
