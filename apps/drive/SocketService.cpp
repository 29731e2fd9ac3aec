#include "apps/drive/SocketService.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <utility>

namespace vor::drive {

int LocalPort(int socket) {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size);
    // The port lies at the same place in IPv4 and IPv6 addresses.
    return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

void ServeOnce(const std::vector<SocketService*>& services, std::chrono::milliseconds wait) {
    std::vector<pollfd> sockets;
    std::vector<SocketService*> owners;
    for (SocketService* service : services) {
        for (const int socket : service->Sockets()) {
            sockets.push_back(pollfd{socket, POLLIN, 0});
            owners.push_back(service);
        }
    }
    if (poll(sockets.data(), sockets.size(), static_cast<int>(wait.count())) <= 0) {
        return;
    }
    for (std::size_t i = 0; i < sockets.size(); ++i) {
        if (sockets[i].revents != 0) {
            owners[i]->Ready(sockets[i].fd);
        }
    }
}

}  // namespace vor::drive
