#include "vormotor/netdrive/ModbusClient.h"

#include <algorithm>
#include <cerrno>
#include <modbus/modbus.h>

#include "vormotor/netdrive/RegisterMap.h"

namespace vor::netdrive {
namespace {

void SetTimeout(modbus_t* context, std::chrono::milliseconds timeout) {
    const auto seconds = static_cast<std::uint32_t>(timeout.count() / 1000);
    const auto microseconds = static_cast<std::uint32_t>((timeout.count() % 1000) * 1000);
    modbus_set_response_timeout(context, seconds, microseconds);
    modbus_set_byte_timeout(context, seconds, microseconds);
}

bool IsModbusException(int error) {
    return error > MODBUS_ENOBASE && error <= EMBXGTAR;
}

}  // namespace

void ModbusClient::Free::operator()(_modbus* context) const noexcept {
    modbus_close(context);
    modbus_free(context);
}

ModbusClient::ModbusClient(const LinkOptions& options) : m_endpoint(options.Endpoint()) {
    const std::string service = std::to_string(options.port);
    modbus_t* context = modbus_new_tcp_pi(options.host.c_str(), service.c_str());
    if (context == nullptr) {
        Fail("cannot set up a connection");
    }
    SetTimeout(context, options.timeout);
    if (modbus_connect(context) == -1) {
        const int error = errno;
        modbus_free(context);
        errno = error;
        Fail("cannot connect");
    }
    m_context.reset(context);
}

ModbusClient::~ModbusClient() = default;

Registers ModbusClient::ReadInputs(int address, int count) {
    Registers values(static_cast<std::size_t>(count));
    for (int done = 0; done < count;) {
        const int size = std::min(count - done, reg::kMaxPerRequest);
        ++m_requests;
        if (modbus_read_input_registers(m_context.get(), address + done, size,
                                        &values[static_cast<std::size_t>(done)]) != size) {
            Fail("read of input registers " + std::to_string(address + done) + " failed");
        }
        done += size;
    }
    return values;
}

void ModbusClient::WriteHolding(int address, const Registers& values) {
    const int size = static_cast<int>(values.size());
    ++m_requests;
    if (modbus_write_registers(m_context.get(), address, size, values.data()) != size) {
        Fail("write of holding registers " + std::to_string(address) + " failed");
    }
}

void ModbusClient::Fail(const std::string& what) const {
    const int error = errno;
    const std::string message = m_endpoint + ": " + what + ": " + modbus_strerror(error);
    if (IsModbusException(error)) {
        throw RequestRefused(message);
    }
    throw LinkFailure(message);
}

}  // namespace vor::netdrive
