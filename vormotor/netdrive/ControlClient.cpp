#include "vormotor/netdrive/ControlClient.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <netdb.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#include <utility>

namespace vor::netdrive {
namespace {

void SetTimeouts(int socket, std::chrono::milliseconds timeout) {
    timeval value{};
    value.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    value.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value);
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &value, sizeof value);
}

}  // namespace

ControlClient::ControlClient(std::string host, int port, std::chrono::milliseconds timeout)
    : m_host(std::move(host)), m_port(port), m_timeout(timeout) {}

ControlClient::~ControlClient() {
    if (m_socket >= 0) {
        close(m_socket);
    }
}

void ControlClient::Connect() {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(m_host.c_str(), std::to_string(m_port).c_str(), &hints, &found) != 0 || found == nullptr) {
        throw std::runtime_error("control channel: cannot resolve " + m_host);
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, &freeaddrinfo);
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        m_socket = socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (m_socket < 0) {
            continue;
        }
        // On Linux the send timeout also bounds the connection attempt.
        SetTimeouts(m_socket, m_timeout);
        if (connect(m_socket, address->ai_addr, address->ai_addrlen) == 0) {
            return;
        }
        const int error = errno;
        close(m_socket);
        m_socket = -1;
        errno = error;
    }
    Fail("no control channel at " + m_host + ":" + std::to_string(m_port));
}

// The server answers every line whole, so anything readable between lines is its goodbye.
bool ControlClient::ClosedByServer() const {
    pollfd ready{m_socket, POLLIN, 0};
    return poll(&ready, 1, 0) != 0;
}

ControlClient::Answer ControlClient::Run(const std::string& line, std::int32_t lineNumber) {
    if (line.find('\n') != std::string::npos) {
        throw std::invalid_argument("control channel: a command is one line");
    }
    if (m_socket >= 0 && ClosedByServer()) {
        close(m_socket);
        m_socket = -1;
    }
    if (m_socket < 0) {
        Connect();
    }
    const std::string request = std::to_string(lineNumber) + " " + line + "\n";
    for (std::size_t sent = 0; sent < request.size();) {
        const ssize_t count = send(m_socket, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) {
            Fail("control channel: send");
        }
        sent += static_cast<std::size_t>(count);
    }
    Answer answer{false, {}};
    for (std::string reply = ReadLine();; reply = ReadLine()) {
        if (reply == "=ok" || reply == "=fail") {
            answer.succeeded = reply == "=ok";
            return answer;
        }
        answer.output += reply + "\n";
    }
}

std::string ControlClient::ReadLine() {
    for (auto end = m_buffer.find('\n'); end == std::string::npos; end = m_buffer.find('\n')) {
        char chunk[4096];
        const ssize_t count = recv(m_socket, chunk, sizeof chunk, 0);
        if (count == 0) {
            errno = ECONNRESET;
        }
        if (count <= 0) {
            Fail("control channel: receive");
        }
        m_buffer.append(chunk, static_cast<std::size_t>(count));
    }
    const auto end = m_buffer.find('\n');
    std::string line = m_buffer.substr(0, end);
    m_buffer.erase(0, end + 1);
    return line;
}

// The connection is given up: what it still held belongs to a line that failed.
void ControlClient::Fail(const std::string& what) {
    const std::string reason = std::strerror(errno);
    if (m_socket >= 0) {
        close(m_socket);
        m_socket = -1;
    }
    m_buffer.clear();
    throw std::runtime_error(what + ": " + reason);
}

}  // namespace vor::netdrive
