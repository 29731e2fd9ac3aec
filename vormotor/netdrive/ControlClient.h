#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace vor::netdrive {

// The control channel of a drive server (docs/link.md): sends one script line of the drive's
// side ("drive.param 41 3", "writes") and returns what the server's drive answered. It
// exists for scripts and tests; a panel never uses it.
class ControlClient {
public:
    struct Answer {
        bool succeeded;
        std::string output;  // JSON lines, as the host prints them
    };

    // Throws std::runtime_error when the server cannot be reached within the timeout.
    ControlClient(const std::string& host, int port, std::chrono::milliseconds timeout);
    ~ControlClient();
    ControlClient(const ControlClient&) = delete;
    ControlClient& operator=(const ControlClient&) = delete;

    Answer Run(const std::string& line, std::int32_t lineNumber);

private:
    std::string ReadLine();

    int m_socket = -1;
    std::string m_buffer;
};

}  // namespace vor::netdrive
