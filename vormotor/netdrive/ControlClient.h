#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace vor::netdrive {

// The control channel of a drive server (docs/link.md): sends one script line of the drive's
// side ("drive.param 41 3", "writes") and returns what the server's drive answered. It
// exists for scripts and tests; a panel never uses it. It connects when a line is to be sent
// and again after the server closed the connection (it restarted, or dropped an idle client);
// a line whose answer was lost is not sent again.
class ControlClient {
public:
    struct Answer {
        bool succeeded;
        std::string output;  // JSON lines, as the host prints them
    };

    // Connects only when the first line is run.
    ControlClient(std::string host, int port, std::chrono::milliseconds timeout);
    ~ControlClient();
    ControlClient(const ControlClient&) = delete;
    ControlClient& operator=(const ControlClient&) = delete;

    // Throws std::runtime_error when the server cannot be reached, or the line or its answer
    // does not get through within the timeout.
    Answer Run(const std::string& line, std::int32_t lineNumber);

private:
    void Connect();
    bool ClosedByServer() const;
    std::string ReadLine();
    [[noreturn]] void Fail(const std::string& what);

    std::string m_host;
    int m_port;
    std::chrono::milliseconds m_timeout;
    int m_socket = -1;
    std::string m_buffer;
};

}  // namespace vor::netdrive
