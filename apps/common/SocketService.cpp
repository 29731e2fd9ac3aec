#include "apps/common/SocketService.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace vor::app {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Enough for a burst of clients, few enough that serving the others goes on in between.
constexpr int kAcceptsPerRound = 32;
constexpr auto kAcceptPause = 100ms;
constexpr std::size_t kReceiveChunk = 4096;

bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

int Listen(const std::string& name, const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || found == nullptr) {
        throw std::runtime_error(name + ": cannot resolve " + host);
    }
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, &freeaddrinfo);
    int error = 0;
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        const int listener =
            socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address->ai_protocol);
        const int yes = 1;
        if (listener >= 0 && setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) == 0 &&
            bind(listener, address->ai_addr, address->ai_addrlen) == 0 && listen(listener, SOMAXCONN) == 0) {
            return listener;
        }
        error = errno;
        if (listener >= 0) {
            close(listener);
        }
    }
    throw std::runtime_error(name + ": cannot listen on " + host + ":" + std::to_string(port) + ": " +
                             std::strerror(error));
}

}  // namespace

SocketService::SocketService(const std::string& name, const std::string& host, int port, Limits limits)
    : m_name(name), m_limits(limits), m_listener(Listen(name, host, port)) {}

SocketService::~SocketService() {
    for (const auto& [socket, client] : m_clients) {
        close(socket);
    }
    close(m_listener);
}

int SocketService::Port() const {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
    // The port lies at the same place in IPv4 and IPv6 addresses.
    return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

void SocketService::Watch(std::vector<pollfd>& sockets, Clock::time_point& wake) const {
    for (const auto& [socket, client] : m_clients) {
        short events = client.output.size() < m_limits.maxQueued ? POLLIN : 0;
        if (!client.output.empty()) {
            events |= POLLOUT;
        }
        sockets.push_back(pollfd{socket, events, 0});
        wake = std::min(wake, Deadline(client));
    }
    if (Clock::now() >= m_acceptPausedUntil) {
        sockets.push_back(pollfd{m_listener, POLLIN, 0});
    } else {
        wake = std::min(wake, m_acceptPausedUntil);
    }
}

Clock::time_point SocketService::Deadline(const Client& client) const {
    auto deadline = client.lastHeard + m_limits.idleTimeout;
    if (!client.input.empty() || !client.output.empty()) {
        deadline = std::min(deadline, client.stalledSince + m_limits.stallTimeout);
    }
    return deadline;
}

void SocketService::Serve(const pollfd& ready) {
    if (ready.fd == m_listener) {
        AcceptAll();
        return;
    }
    const auto found = m_clients.find(ready.fd);
    if (found == m_clients.end()) {
        return;
    }
    if ((ready.revents & POLLOUT) != 0) {
        Send(ready.fd, found->second);
    }
    if ((ready.revents & (POLLIN | POLLHUP | POLLERR)) != 0 && m_clients.contains(ready.fd)) {
        Receive(ready.fd, found->second);
    }
}

void SocketService::AcceptAll() {
    for (int i = 0; i < kAcceptsPerRound; ++i) {
        const int socket = accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (socket < 0) {
            if (errno == ECONNABORTED || errno == EINTR) {
                continue;
            }
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                m_acceptPausedUntil = Clock::now() + kAcceptPause;
            }
            return;
        }
        if (m_clients.size() >= m_limits.maxClients) {
            MakeRoom();
        }
        const int yes = 1;
        // Requests and answers are single small frames: waiting to fill a segment only delays them.
        setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        const auto now = Clock::now();
        m_clients.emplace(socket, Client{{}, {}, now, now});
    }
}

void SocketService::MakeRoom() {
    // A flood of connections that never ask anything then pushes out only itself.
    const auto quietest = std::min_element(m_clients.begin(), m_clients.end(), [](const auto& a, const auto& b) {
        return std::pair(a.second.answered, a.second.lastHeard) < std::pair(b.second.answered, b.second.lastHeard);
    });
    if (quietest != m_clients.end()) {
        Close(quietest->first);
    }
}

void SocketService::Receive(int socket, Client& client) {
    char chunk[kReceiveChunk];
    const ssize_t count = recv(socket, chunk, sizeof chunk, 0);
    if (count < 0 && WouldBlock()) {
        return;
    }
    if (count <= 0) {
        Close(socket);
        return;
    }
    const auto now = Clock::now();
    const bool answersWaited = !client.output.empty();
    const std::size_t had = client.input.size() + static_cast<std::size_t>(count);
    client.lastHeard = now;
    client.input.append(chunk, static_cast<std::size_t>(count));
    if (!Answer(client.input, client.output) || client.input.size() > m_limits.maxRequest) {
        Close(socket);
        return;
    }
    const bool consumed = client.input.size() < had;
    client.answered = client.answered || consumed;
    // A request that arrived whole restarts the clock of the one begun after it.
    if (!answersWaited && (consumed || client.input.size() == static_cast<std::size_t>(count))) {
        client.stalledSince = now;
    }
    if (!client.output.empty()) {
        Send(socket, client);
    }
}

void SocketService::Send(int socket, Client& client) {
    const ssize_t count = send(socket, client.output.data(), client.output.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (count < 0 && WouldBlock()) {
        return;
    }
    if (count <= 0) {
        Close(socket);
        return;
    }
    client.output.erase(0, static_cast<std::size_t>(count));
    client.stalledSince = Clock::now();
}

void SocketService::Expire(Clock::time_point now) {
    std::vector<int> expired;
    for (const auto& [socket, client] : m_clients) {
        if (Deadline(client) <= now) {
            expired.push_back(socket);
        }
    }
    for (const int socket : expired) {
        Close(socket);
    }
}

void SocketService::Close(int socket) {
    close(socket);
    m_clients.erase(socket);
}

void ServeOnce(const std::vector<SocketService*>& services, std::chrono::milliseconds wait) {
    auto wake = Clock::now() + wait;
    std::vector<pollfd> sockets;
    std::vector<SocketService*> owners;
    for (SocketService* service : services) {
        service->Watch(sockets, wake);
        owners.resize(sockets.size(), service);
    }
    // Rounded up: a wait cut to 0 ms would spin until the deadline.
    const auto timeout = std::chrono::ceil<std::chrono::milliseconds>(wake - Clock::now());
    if (poll(sockets.data(), sockets.size(), static_cast<int>(std::max<std::int64_t>(timeout.count(), 0))) > 0) {
        // Clients first: a socket accepted now may take the number of one closed in this round.
        for (const bool listeners : {false, true}) {
            for (std::size_t i = 0; i < sockets.size(); ++i) {
                if (sockets[i].revents != 0 && (sockets[i].fd == owners[i]->m_listener) == listeners) {
                    owners[i]->Serve(sockets[i]);
                }
            }
        }
    }
    const auto now = Clock::now();
    for (SocketService* service : services) {
        service->Expire(now);
    }
}

}  // namespace vor::app
