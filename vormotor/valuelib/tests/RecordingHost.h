#pragma once

#include <optional>
#include <string>
#include <vector>

#include "vormotor/valuelib/ValueHost.h"

namespace vor::valuelib::testing {

// Keeps every call and write a value reports, as "operation param field" lines.
class RecordingHost final : public ValueHost {
public:
    void Enter(const CallSite& site) override { calls.push_back(Line(site)); }
    void Written(const CallSite& site, double value) override {
        writes.push_back(Line(site) + " = " + std::to_string(static_cast<long long>(value)));
    }

    std::vector<std::string> calls;
    std::vector<std::string> writes;

private:
    static std::string Line(const CallSite& site) {
        std::string line(site.operation.Name());
        if (site.param) {
            line += " " + std::to_string(*site.param);
        }
        if (!site.field.empty()) {
            line += " " + std::string(site.field);
        }
        return line;
    }
};

}  // namespace vor::valuelib::testing
