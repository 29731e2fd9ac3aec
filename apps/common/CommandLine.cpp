#include "apps/common/CommandLine.h"

#include <filesystem>
#include <iostream>

#include "vormotor/Version.h"

namespace vor::app {

CommandLine::CommandLine(std::string program, std::string description)
    : m_program(std::move(program)),
      m_formatter(std::make_shared<CLI::Formatter>()),
      m_app(std::move(description), m_program) {
    m_formatter->label("Usage", "usage");
    m_formatter->column_width(30);
    m_app.formatter(m_formatter);
    m_app.set_version_flag("--version", m_program + " " + VOR_VERSION_STRING);
}

std::optional<int> CommandLine::Parse(int argc, char** argv) {
    try {
        m_app.parse(argc, argv);
        return std::nullopt;
    } catch (const CLI::CallForHelp&) {
        std::cout << m_app.help();
        return kDone;
    } catch (const CLI::CallForVersion& version) {
        std::cout << version.what() << '\n';
        return kDone;
    } catch (const CLI::ParseError& error) {
        return UsageError(error.what());
    }
}

int CommandLine::UsageError(const std::string& message) const {
    std::cerr << m_program << ": " << message << '\n'
              << m_formatter->make_usage(&m_app, m_program) << "Run " << m_program << " --help for the options.\n";
    return kUsageError;
}

int CommandLine::Fail(const std::string& message, int status) const {
    std::cerr << m_program << ": " << message << '\n';
    return status;
}

CLI::Validator PortNumber() {
    // The help names the range itself; the error says it with the value.
    return CLI::Range(0, 65535).description("");
}

CLI::Validator InExistingFolder() {
    return CLI::Validator(
        [](const std::string& file) -> std::string {
            const std::filesystem::path folder = std::filesystem::path(file).parent_path();
            std::error_code unknown;
            if (folder.empty() || std::filesystem::is_directory(folder, unknown)) {
                return {};
            }
            return "no folder " + folder.string() + " to write " + file + " in";
        },
        "");
}

}  // namespace vor::app
