#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

namespace vor::app {

// The exit statuses every program documents.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsageError = 2;

// One program's command line, the same way in every program: --help and --version, an error that
// names the option and the value, the usage line after a usage error only, status 2 for it.
class CommandLine {
public:
    CommandLine(std::string program, std::string description);

    // Where the program declares its options.
    CLI::App& Options() noexcept { return m_app; }

    // Nothing when the program goes on; otherwise the status to end with: 0 after --help or
    // --version (printed on standard output), 2 after a usage error (printed on standard error).
    std::optional<int> Parse(int argc, char** argv);

    // A usage error the parser cannot see (two options that exclude each other, ...): the message and
    // the usage on standard error; answers 2.
    int UsageError(const std::string& message) const;

    // A failure to run (not a usage error): one line on standard error; answers status.
    int Fail(const std::string& message, int status) const;

private:
    std::string m_program;
    std::shared_ptr<CLI::Formatter> m_formatter;
    CLI::App m_app;
};

// A TCP port number.
CLI::Validator PortNumber();

// Fails at start rather than later, when the program writes the file: its folder must exist.
CLI::Validator InExistingFolder();

}  // namespace vor::app
