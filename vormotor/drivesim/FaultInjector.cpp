#include "vormotor/drivesim/FaultInjector.h"

#include <stdexcept>
#include <utility>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"

namespace vor::sim {
namespace {

std::string Describe(const valuelib::CallSite& site) {
    std::string text(site.operation.Name());
    if (site.param) {
        text += " of parameter " + DecimalText(*site.param);
    }
    if (!site.field.empty()) {
        text += (site.param ? ", field \"" : " of field \"") + std::string(site.field) + "\"";
    }
    return text;
}

valuelib::OperationId RequireOperation(std::string_view operation) {
    const auto id = valuelib::OperationId::Named(operation);
    if (!id) {
        throw Error(error_number::InvalidPropertyValue, "drivesim",
                    "No operation is called \"" + std::string(operation) + "\"");
    }
    return *id;
}

}  // namespace

const std::vector<std::string>& FaultInjector::Operations() {
    static const std::vector<std::string> operations = [] {
        std::vector<std::string> names;
        for (const valuelib::OperationInfo& info : kOperationTable) {
            names.emplace_back(info.name);
        }
        return names;
    }();
    return operations;
}

bool FaultInjector::IsOperation(std::string_view operation) {
    return valuelib::OperationId::Named(operation).has_value();
}

bool FaultInjector::ReturnsObject(std::string_view operation) {
    const auto id = valuelib::OperationId::Named(operation);
    return id && id->ReturnsObject();
}

void FaultInjector::Inject(const std::string& operation, Mode mode, std::int32_t nth, FaultScope scope) {
    const valuelib::OperationId id = RequireOperation(operation);
    if (mode == Mode::ReturnNull && !id.ReturnsObject()) {
        throw Error(error_number::InvalidPropertyValue, "drivesim",
                    "\"" + operation + "\" hands out no object that could be null");
    }
    m_rules[id.Index()].push_back(Rule{mode, std::move(scope), nth});
}

std::int32_t FaultInjector::CountedCall(std::int32_t nth) {
    if (nth < 1) {
        throw Error(error_number::InvalidPropertyValue, "drivesim", "The call to fault is counted from 1");
    }
    return nth;
}

void FaultInjector::Clear() {
    for (auto& rules : m_rules) {
        rules.clear();
    }
}

void FaultInjector::Clear(const std::string& operation) {
    if (const auto id = valuelib::OperationId::Named(operation)) {
        m_rules[id->Index()].clear();
    }
}

void FaultInjector::Enter(const valuelib::CallSite& site) {
    if (EnterForObject(site)) {
        throw std::logic_error("The simulated drive hands out " + std::string(site.operation.Name()) +
                               " through a path that cannot hand out a null object");
    }
}

bool FaultInjector::EnterForObject(const valuelib::CallSite& site) {
    const Rule* rule = Decide(site);
    if (rule == nullptr) {
        return false;
    }
    if (rule->mode == Mode::Fail) {
        throw Error(kErrorNumber, "drivesim", "Injected failure of " + Describe(site));
    }
    return true;
}

const FaultInjector::Rule* FaultInjector::Decide(const valuelib::CallSite& site) {
    for (auto& rule : m_rules[site.operation.Index()]) {
        if (!Matches(rule, site)) {
            continue;
        }
        ++rule.seen;
        if (rule.nth == 0 || rule.seen == rule.nth) {
            return &rule;
        }
    }
    return nullptr;
}

bool FaultInjector::Matches(const Rule& rule, const valuelib::CallSite& site) {
    return (!rule.scope.param || rule.scope.param == site.param) &&
           (!rule.scope.field || *rule.scope.field == site.field);
}

}  // namespace vor::sim
