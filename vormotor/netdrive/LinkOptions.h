#pragma once

#include <chrono>
#include <string>

namespace vor::netdrive {

// Where the drive is and how patiently the network library talks to it.
struct LinkOptions {
    std::string host = "127.0.0.1";
    int port = 1502;
    // The longest a connection attempt, a read or a write may take.
    std::chrono::milliseconds timeout{500};
    // The shortest time between two reads of the drive's state; 0: at every tick.
    std::chrono::milliseconds pollInterval{0};
    // The shortest time between two attempts to get a lost link back.
    std::chrono::milliseconds retryInterval{500};

    // "HOST:PORT" (an IPv6 address in brackets: "[::1]:1502").
    static LinkOptions FromEndpoint(const std::string& endpoint);
    std::string Endpoint() const;
};

}  // namespace vor::netdrive
