#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/drivesim/FaultScope.h"
#include "vormotor/valuelib/CallSite.h"

namespace vor {

// Makes chosen calls of the simulated drive fail. An operation is named as object and member,
// "Node.Param", "Field.SetValue", "Content.Number", "ValueNames.Item" (Operations() lists them
// all). A failing call throws an Error that names the operation and has no other effect.
class FaultInjector {
public:
    // Fails the nth matching call from now on (1: the next one), once.
    void FailCall(const std::string& operation, std::int32_t nth, FaultScope scope = {});
    // Fails every matching call from now on.
    void FailEveryCall(const std::string& operation, FaultScope scope = {});
    void Clear() { m_rules.clear(); }
    // Removes the rules of one operation.
    void Clear(const std::string& operation) {
        std::erase_if(m_rules, [&](const Rule& rule) { return rule.operation == operation; });
    }

    // Runs before every call; throws when a rule says this call fails.
    void Check(const CallSite& site);

    static const std::vector<std::string>& Operations();
    static bool IsOperation(std::string_view operation);
    // The number of every injected failure.
    static constexpr std::int32_t kErrorNumber = static_cast<std::int32_t>(0x80040200u);

private:
    struct Rule {
        std::string operation;
        FaultScope scope;
        std::int32_t nth;  // 0: every call
        std::int32_t seen = 0;
    };

    void Add(const std::string& operation, std::int32_t nth, FaultScope scope);
    static bool Matches(const Rule& rule, const CallSite& site);
    // Throws when the simulated drive names a call with an unlisted operation.
    void CheckListed(std::string_view operation);

    std::vector<Rule> m_rules;
    // Listed names seen before, slotted by where the caller keeps its name: the objects pass the
    // same names on every call, so most checks cost one comparison instead of a search.
    std::array<std::string_view, 64> m_listedSeen{};
};

}  // namespace vor
