#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "vormotor/netdrive/LinkOptions.h"
#include "vormotor/netdrive/Registers.h"

struct _modbus;

namespace vor::netdrive {

// The link failed: no answer in time, or the connection broke. Whether a write sent just before
// reached the drive is not known.
class LinkFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The drive answered a request with a Modbus exception: it refused it.
class RequestRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One Modbus TCP connection with bounded waits.
class ModbusClient {
public:
    // Connects; throws LinkFailure when the drive cannot be reached within the timeout.
    explicit ModbusClient(const LinkOptions& options);
    ~ModbusClient();
    ModbusClient(const ModbusClient&) = delete;
    ModbusClient& operator=(const ModbusClient&) = delete;

    // Any number of input registers, in as many requests as it takes.
    Registers ReadInputs(int address, int count);
    void WriteHolding(int address, const Registers& values);
    // How many requests went out on this connection.
    std::uint64_t Requests() const noexcept { return m_requests; }

private:
    [[noreturn]] void Fail(const std::string& what) const;

    struct Free {
        void operator()(_modbus* context) const noexcept;
    };
    std::unique_ptr<_modbus, Free> m_context;
    std::string m_endpoint;
    std::uint64_t m_requests = 0;
};

}  // namespace vor::netdrive
