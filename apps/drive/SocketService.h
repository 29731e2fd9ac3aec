#pragma once

#include <chrono>
#include <vector>

namespace vor::drive {

// Something that listens on sockets and serves what arrives on them.
class SocketService {
public:
    virtual ~SocketService() = default;

    virtual std::vector<int> Sockets() const = 0;
    // `socket` has something to read (or was closed by the other end).
    virtual void Ready(int socket) = 0;
};

// The port a listening socket took.
int LocalPort(int socket);

// Waits up to `wait` until a socket of the services can be read and serves each one that can.
void ServeOnce(const std::vector<SocketService*>& services, std::chrono::milliseconds wait);

}  // namespace vor::drive
