#include "vormotor/script/ScriptAnswers.h"

#include <exception>
#include <string>

namespace vor::script {

void ScriptAnswers::Print(const nlohmann::ordered_json& json) {
    // Script lines are checked to be UTF-8, but not every text is: VersionStr names the host's
    // folder, whatever its bytes. A bad byte prints as U+FFFD rather than failing the answer.
    m_out << json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

bool ScriptAnswers::Reporting(std::int32_t lineNumber, const std::function<bool()>& line) {
    try {
        return line();
    } catch (const std::exception& failure) {
        Print({{"error", "line " + std::to_string(lineNumber) + ": " + failure.what()}});
        return false;
    }
}

}  // namespace vor::script
