#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "vormotor/valuelib/ValueHost.h"

namespace vor::valuelib {

// What every object of the value library passes its calls through: the host (if any) together
// with the parameter and field that the object belongs to.
class Gate {
public:
    Gate() = default;
    Gate(std::shared_ptr<ValueHost> host, std::optional<std::int32_t> param, std::string field = {});

    // The panel's own values have no host: their calls cost no more than the test for one.
    void Enter(OperationId operation) const {
        if (m_host) {
            EnterHost(operation);
        }
    }
    // For an operation that hands out an object: true when it is to hand out a null one.
    bool EnterForObject(OperationId operation) const { return m_host && EnterHostForObject(operation); }
    void Written(OperationId operation, double value) const {
        if (m_host) {
            WrittenHost(operation, value);
        }
    }
    Gate ForField(std::string field) const { return Gate(m_host, m_param, std::move(field)); }

    const std::optional<std::int32_t>& Param() const noexcept { return m_param; }

private:
    void EnterHost(OperationId operation) const;
    bool EnterHostForObject(OperationId operation) const;
    void WrittenHost(OperationId operation, double value) const;

    std::shared_ptr<ValueHost> m_host;
    std::optional<std::int32_t> m_param;
    std::string m_field;
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::Gate;
}  // namespace vor
