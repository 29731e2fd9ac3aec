#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/drivemodel/DriveBackEnd.h"
#include "vormotor/drivesim/FaultScope.h"
#include "vormotor/valuelib/CallSite.h"

namespace vor::sim {

// Makes chosen calls of the simulated drive fail, or hand out a null object. An operation is
// named as object and member, "Node.Param", "Field.SetValue", "Content.Number",
// "ValueNames.Item" (Operations() lists them all). A failing call throws an Error that names the
// operation and has no other effect; a nulled call returns a null object and has no other effect.
// It is the back end of a simulated drive's model, so it sees every call before it has an effect.
class FaultInjector final : public model::DriveBackEnd {
public:
    enum class Mode { Fail, ReturnNull };

    // Fails the nth matching call from now on (1: the next one), once.
    void FailCall(const std::string& operation, std::int32_t nth, FaultScope scope = {}) {
        Inject(operation, Mode::Fail, CountedCall(nth), std::move(scope));
    }
    // Fails every matching call from now on.
    void FailEveryCall(const std::string& operation, FaultScope scope = {}) {
        Inject(operation, Mode::Fail, 0, std::move(scope));
    }
    // Only for an operation that hands out an object (ReturnsObject).
    void NullCall(const std::string& operation, std::int32_t nth, FaultScope scope = {}) {
        Inject(operation, Mode::ReturnNull, CountedCall(nth), std::move(scope));
    }
    void NullEveryCall(const std::string& operation, FaultScope scope = {}) {
        Inject(operation, Mode::ReturnNull, 0, std::move(scope));
    }
    void Clear();
    // Removes the rules of one operation.
    void Clear(const std::string& operation);

    // Runs before every call; throws when a rule says this call fails.
    void Enter(const valuelib::CallSite& site) override;
    // Runs before every call that hands out an object; throws when a rule says this call fails,
    // and answers true when one says it hands out a null object.
    bool EnterForObject(const valuelib::CallSite& site) override;
    // A write is failed, if at all, when it is entered.
    void Written(const valuelib::CallSite&, double) override {}

    static const std::vector<std::string>& Operations();
    static bool IsOperation(std::string_view operation);
    // Whether the operation hands out an object, and so can be made to hand out a null one.
    static bool ReturnsObject(std::string_view operation);
    // The number of every injected failure.
    static constexpr std::int32_t kErrorNumber = static_cast<std::int32_t>(0x80040200u);

private:
    struct Rule {
        Mode mode;
        FaultScope scope;
        std::int32_t nth;  // 0: every call
        std::int32_t seen = 0;
    };

    // nth 0: every matching call; from 1: that call only.
    void Inject(const std::string& operation, Mode mode, std::int32_t nth, FaultScope scope);
    static std::int32_t CountedCall(std::int32_t nth);
    // The rule that takes this call, if any.
    const Rule* Decide(const valuelib::CallSite& site);
    static bool Matches(const Rule& rule, const valuelib::CallSite& site);

    // Indexed by operation number, so a call only looks at its own operation's rules.
    std::array<std::vector<Rule>, kOperationCount> m_rules;
};

}  // namespace vor::sim

// The names above as hosts know them, in vor.
namespace vor {
using sim::FaultInjector;
}  // namespace vor
