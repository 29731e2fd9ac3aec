#include "vormotor/drivesim/FaultInjector.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"

namespace vor {
namespace {

struct OperationGroup {
    std::string_view object;
    std::vector<std::string_view> members;
};

std::vector<std::string> BuildOperations() {
    const std::vector<std::string_view> contentMembers = {"Number",        "SetNumber",     "Text",
                                                          "LowerLimit",    "SetLowerLimit", "UpperLimit",
                                                          "SetUpperLimit", "SetupFlag",     "SetSetupFlag"};
    const std::vector<std::string_view> dictionaryMembers = {"Count", "Item", "Exists", "RemoveAll", "Keys", "Items"};
    const std::vector<OperationGroup> groups = {
        {"Network", {"AppEvents", "DriveEvents", "AccessLock", "CommModeSelectable", "TraceSink"}},
        {"AppEvents", {"TechSupport"}},
        {"Lock", {"Level"}},
        {"TraceSink", {"TraceFlags", "TraceWrite"}},
        {"Node",
         {"HasParam", "Param", "ParamTable", "StatusReg", "AccessLock", "IoObj", "MotorTypes", "MicrostepChoices",
          "IsOnline", "DriveEnabled", "SetDriveEnabled", "NodeState", "ExpandText"}},
        {"Io", {"InputsValue"}},
        {"Value",
         {"Fields", "AddField", "Refresh", "StartUpdates", "Content", "Info", "LockLevel", "SetupA", "SetSetupA",
          "SetupB", "SetSetupB", "SetupC", "SetSetupC"}},
        {"Content", contentMembers},
        {"Info", contentMembers},
        {"LockLevel", {"Level"}},
        {"Field", {"Value", "SetValue", "ValueText", "Editable", "Refresh", "ValueNames", "AddValueName"}},
        {"Entry", {"Code", "Name", "Visible", "SetVisible"}},
        {"ParamTable", dictionaryMembers},
        {"Fields", dictionaryMembers},
        {"ValueNames", dictionaryMembers},
    };
    std::vector<std::string> operations;
    for (const auto& group : groups) {
        for (const auto member : group.members) {
            operations.push_back(std::string(group.object) + "." + std::string(member));
        }
    }
    return operations;
}

std::string Describe(const CallSite& site) {
    std::string text(site.operation);
    if (site.param) {
        text += " of parameter " + DecimalText(*site.param);
    }
    if (!site.field.empty()) {
        text += (site.param ? ", field \"" : " of field \"") + std::string(site.field) + "\"";
    }
    return text;
}

}  // namespace

const std::vector<std::string>& FaultInjector::Operations() {
    static const std::vector<std::string> operations = BuildOperations();
    return operations;
}

bool FaultInjector::IsOperation(std::string_view operation) {
    const auto& operations = Operations();
    return std::find(operations.begin(), operations.end(), operation) != operations.end();
}

void FaultInjector::FailCall(const std::string& operation, std::int32_t nth, FaultScope scope) {
    if (nth < 1) {
        throw Error(error_number::InvalidPropertyValue, "drivesim", "A call to fail is counted from 1");
    }
    Add(operation, nth, std::move(scope));
}

void FaultInjector::FailEveryCall(const std::string& operation, FaultScope scope) {
    Add(operation, 0, std::move(scope));
}

void FaultInjector::Add(const std::string& operation, std::int32_t nth, FaultScope scope) {
    if (!IsOperation(operation)) {
        throw Error(error_number::InvalidPropertyValue, "drivesim", "No operation is called \"" + operation + "\"");
    }
    m_rules.push_back(Rule{operation, std::move(scope), nth});
}

void FaultInjector::CheckListed(std::string_view operation) {
    const auto where = reinterpret_cast<std::uintptr_t>(operation.data());
    std::string_view& seen = m_listedSeen[(where ^ (where >> 6)) % m_listedSeen.size()];
    if (seen == operation) {
        return;
    }
    const auto& operations = Operations();
    const auto listed = std::find(operations.begin(), operations.end(), operation);
    if (listed == operations.end()) {
        throw std::logic_error("The simulated drive was called through an unlisted operation: " +
                               std::string(operation));
    }
    seen = *listed;
}

void FaultInjector::Check(const CallSite& site) {
    CheckListed(site.operation);
    for (auto& rule : m_rules) {
        if (!Matches(rule, site)) {
            continue;
        }
        ++rule.seen;
        if (rule.nth == 0 || rule.seen == rule.nth) {
            throw Error(kErrorNumber, "drivesim", "Injected failure of " + Describe(site));
        }
    }
}

bool FaultInjector::Matches(const Rule& rule, const CallSite& site) {
    return rule.operation == site.operation && (!rule.scope.param || rule.scope.param == site.param) &&
           (!rule.scope.field || *rule.scope.field == site.field);
}

}  // namespace vor
