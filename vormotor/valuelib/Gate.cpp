#include "vormotor/valuelib/Gate.h"

#include <utility>

namespace vor::valuelib {

Gate::Gate(std::shared_ptr<ValueHost> host, std::optional<std::int32_t> param, std::string field)
    : m_host(std::move(host)), m_param(param), m_field(std::move(field)) {}

void Gate::EnterHost(OperationId operation) const {
    m_host->Enter(CallSite{operation, m_param, m_field});
}

bool Gate::EnterHostForObject(OperationId operation) const {
    return m_host->EnterForObject(CallSite{operation, m_param, m_field});
}

void Gate::WrittenHost(OperationId operation, double value) const {
    m_host->Written(CallSite{operation, m_param, m_field}, value);
}

}  // namespace vor::valuelib
