#include "apps/drive/ControlServer.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

#include "apps/host/ScriptLine.h"

namespace vor::drive {
namespace {

constexpr std::size_t kLongestRequest = 64 * 1024;

int Listen(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || found == nullptr) {
        throw std::runtime_error("control channel: cannot resolve " + host);
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, &freeaddrinfo);
    const int listener = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    const int yes = 1;
    if (listener < 0 || setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) != 0 ||
        bind(listener, found->ai_addr, found->ai_addrlen) != 0 || listen(listener, 8) != 0) {
        const std::string reason = std::strerror(errno);
        if (listener >= 0) {
            close(listener);
        }
        throw std::runtime_error("control channel: cannot listen on " + host + ":" + std::to_string(port) + ": " +
                                 reason);
    }
    return listener;
}

// Only the drive's side of a script runs here; the panel and the host stay with the host.
bool IsDriveSide(const std::string& line) {
    try {
        const auto words = vor::host::SplitScriptLine(line);
        return words.empty() ||
               (!words.front().quoted && (words.front().text.starts_with("drive.") || words.front().text == "writes"));
    } catch (const std::exception&) {
        return true;  // the host reports the line's own fault
    }
}

}  // namespace

ControlServer::ControlServer(std::unique_ptr<SimDrive> drive, const std::string& host, int port)
    : m_host(std::move(drive), m_output), m_listener(Listen(host, port)) {}

ControlServer::~ControlServer() {
    for (const auto& [client, pending] : m_pending) {
        close(client);
    }
    close(m_listener);
}

int ControlServer::Port() const {
    return LocalPort(m_listener);
}

std::vector<int> ControlServer::Sockets() const {
    std::vector<int> sockets{m_listener};
    for (const auto& [client, pending] : m_pending) {
        sockets.push_back(client);
    }
    return sockets;
}

void ControlServer::Ready(int socket) {
    if (socket == m_listener) {
        Accept();
    } else {
        Receive(socket);
    }
}

void ControlServer::Accept() {
    const int client = accept(m_listener, nullptr, nullptr);
    if (client >= 0) {
        m_pending.emplace(client, std::string());
    }
}

void ControlServer::Receive(int socket) {
    char chunk[4096];
    const ssize_t count = recv(socket, chunk, sizeof chunk, 0);
    if (count <= 0) {
        Drop(socket);
        return;
    }
    std::string& pending = m_pending[socket];
    pending.append(chunk, static_cast<std::size_t>(count));
    for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
        const std::string answer = Run(pending.substr(0, end));
        pending.erase(0, end + 1);
        if (send(socket, answer.data(), answer.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(answer.size())) {
            Drop(socket);
            return;
        }
    }
    // No script line is this long; whoever sends one is not speaking the protocol.
    if (pending.size() > kLongestRequest) {
        Drop(socket);
    }
}

std::string ControlServer::Run(const std::string& request) {
    const auto blank = request.find(' ');
    std::int32_t lineNumber = 0;
    try {
        lineNumber = std::stoi(request.substr(0, blank));
    } catch (const std::exception&) {
        return nlohmann::json({{"error", "a request is a line number and a script line"}}).dump() + "\n=fail\n";
    }
    const std::string line = blank == std::string::npos ? std::string() : request.substr(blank + 1);
    m_output.str({});
    bool succeeded = false;
    if (IsDriveSide(line)) {
        succeeded = m_host.RunLine(line, lineNumber);
    } else {
        m_output << nlohmann::json({{"error", "line " + std::to_string(lineNumber) +
                                                  ": the drive runs only drive.* commands and writes"}})
                        .dump()
                 << '\n';
    }
    return m_output.str() + (succeeded ? "=ok\n" : "=fail\n");
}

void ControlServer::Drop(int socket) {
    close(socket);
    m_pending.erase(socket);
}

}  // namespace vor::drive
