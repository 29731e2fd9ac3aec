#include "vormotor/netdrive/LinkOptions.h"

#include <stdexcept>

namespace vor::netdrive {

LinkOptions LinkOptions::FromEndpoint(const std::string& endpoint) {
    const auto colon = endpoint.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == endpoint.size()) {
        throw std::invalid_argument("expected HOST:PORT, got '" + endpoint + "'");
    }
    LinkOptions options;
    options.host = endpoint.substr(0, colon);
    if (options.host.size() > 2 && options.host.front() == '[' && options.host.back() == ']') {
        options.host = options.host.substr(1, options.host.size() - 2);
    }
    const std::string port = endpoint.substr(colon + 1);
    std::size_t used = 0;
    int number = -1;
    try {
        number = std::stoi(port, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != port.size() || number < 1 || number > 65535) {
        throw std::invalid_argument("'" + port + "' is no port number");
    }
    options.port = number;
    return options;
}

std::string LinkOptions::Endpoint() const {
    const bool bracket = host.find(':') != std::string::npos;
    return (bracket ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

}  // namespace vor::netdrive
