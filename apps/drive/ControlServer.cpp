#include "apps/drive/ControlServer.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "vormotor/script/ScriptLine.h"

namespace vor::drive {
namespace {

// No script line is this long; whoever sends one is not speaking the protocol.
constexpr std::size_t kLongestRequest = 64 * 1024;

// Only the drive's side of a script runs here; the panel and the host stay with the host.
bool IsDriveSide(const std::string& line) {
    try {
        const auto words = script::SplitScriptLine(line);
        return words.empty() || script::DriveScript::IsDriveSide(words.front());
    } catch (const std::exception&) {
        return true;  // the drive script reports the line's own fault
    }
}

std::string ErrorLine(const std::string& message) {
    return nlohmann::json({{"error", message}}).dump() + "\n";
}

app::SocketService::Limits ControlLimits(app::SocketService::Limits limits) {
    limits.maxRequest = kLongestRequest;
    return limits;
}

}  // namespace

ControlServer::ControlServer(std::unique_ptr<sim::SimDrive> drive, const std::string& host, int port, Limits limits)
    : SocketService("control channel", host, port, ControlLimits(limits)),
      m_drive(std::move(drive)),
      m_answers(m_output),
      m_script(*m_drive, m_drive.get(), m_answers) {}

bool ControlServer::Answer(std::string& input, std::string& output) {
    std::size_t used = 0;
    for (auto end = input.find('\n'); end != std::string::npos; end = input.find('\n', used)) {
        output += Run(input.substr(used, end - used));
        used = end + 1;
    }
    input.erase(0, used);
    return true;
}

std::string ControlServer::Run(const std::string& request) {
    const auto blank = request.find(' ');
    std::int32_t lineNumber = 0;
    try {
        lineNumber = std::stoi(request.substr(0, blank));
    } catch (const std::exception&) {
        return ErrorLine("a request is a line number and a script line") + "=fail\n";
    }
    const std::string line = blank == std::string::npos ? std::string() : request.substr(blank + 1);
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (!IsDriveSide(line)) {
        return ErrorLine(where + "the drive runs only drive.* commands and writes") + "=fail\n";
    }
    m_output.str({});
    bool succeeded = m_script.RunLine(line, lineNumber);
    if (m_afterLine) {
        try {
            m_afterLine();
        } catch (const std::exception& failure) {
            m_output << ErrorLine(where + "the link cannot carry the drive as it is now: " + failure.what());
            succeeded = false;
        }
    }
    return m_output.str() + (succeeded ? "=ok\n" : "=fail\n");
}

}  // namespace vor::drive
