#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <ostream>

namespace vor::script {

// Where a script's answers go: JSON objects, one a line.
class ScriptAnswers {
public:
    explicit ScriptAnswers(std::ostream& out) : m_out(out) {}

    void Print(const nlohmann::ordered_json& json);

    // Runs the work of one line and returns what it returns; a failure prints
    // {"error":"line N: ..."} and returns false.
    bool Reporting(std::int32_t lineNumber, const std::function<bool()>& line);

private:
    std::ostream& m_out;
};

}  // namespace vor::script
