#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

struct pollfd;

namespace vor::app {

// A TCP service that serves every client on its own: sockets never block, each client has its
// own buffers, and a client that stops halfway, never reads its answers, or just sits there is
// closed after a while, so that no client can hold up another or the program that serves them.
class SocketService {
public:
    struct Limits {
        // At the cap a new client takes the place of the one that has been quiet longest,
        // sparing those that ever had a request answered while there are others.
        std::size_t maxClients = 64;
        // A request begun that is not whole at this size is not the protocol.
        std::size_t maxRequest = 4096;
        // Answers waiting for a client beyond this: it is not read from until it takes them.
        std::size_t maxQueued = 64 * 1024;
        // A client that sends nothing for this long is closed.
        std::chrono::milliseconds idleTimeout{60'000};
        // A request begun must be whole, and waiting answers must move, within this.
        std::chrono::milliseconds stallTimeout{1'000};
    };

    // Listens at once (port 0: any free port); throws std::runtime_error when it cannot.
    // `name` says which service a failure is about.
    SocketService(const std::string& name, const std::string& host, int port, Limits limits);
    virtual ~SocketService();
    SocketService(const SocketService&) = delete;
    SocketService& operator=(const SocketService&) = delete;

    int Port() const;
    std::size_t ClientCount() const noexcept { return m_clients.size(); }

    // Waits up to `wait` until a client or a listener of the services can go on, serves them,
    // and closes the clients whose time ran out.
    friend void ServeOnce(const std::vector<SocketService*>& services, std::chrono::milliseconds wait);

protected:
    // Answers every whole request at the front of `input`, removing it and appending its answer
    // to `output`; a partial request stays. False: the client does not speak the protocol and is
    // closed at once.
    virtual bool Answer(std::string& input, std::string& output) = 0;

private:
    using Clock = std::chrono::steady_clock;
    struct Client {
        std::string input;
        std::string output;
        Clock::time_point lastHeard;
        Clock::time_point stalledSince;  // of the partial request or the waiting answers
        bool answered = false;
    };

    void Watch(std::vector<pollfd>& sockets, Clock::time_point& wake) const;
    void Serve(const pollfd& ready);
    void AcceptAll();
    void MakeRoom();
    void Receive(int socket, Client& client);
    void Send(int socket, Client& client);
    void Expire(Clock::time_point now);
    void Close(int socket);
    Clock::time_point Deadline(const Client& client) const;

    std::string m_name;
    Limits m_limits;
    int m_listener;
    std::map<int, Client> m_clients;
    // Out of descriptors: the listener rests rather than fail every accept in a busy loop.
    Clock::time_point m_acceptPausedUntil{};
};

void ServeOnce(const std::vector<SocketService*>& services, std::chrono::milliseconds wait);

}  // namespace vor::app
