#include "vormotor/regstore/CreatedKeys.h"

#include <utility>

namespace vor::store {

std::optional<CreatedKeys::Known> CreatedKeys::SubKey(std::uint64_t transaction, std::int64_t parent,
                                                      std::string_view fold) const {
    if (transaction != m_transaction) {
        return std::nullopt;
    }
    const auto key = m_keys.find(parent);
    if (key == m_keys.end()) {
        return std::nullopt;
    }
    const auto subKey = key->second.find(fold);
    return subKey == key->second.end() ? Known{} : Known{subKey->second};
}

void CreatedKeys::Created(std::uint64_t transaction, std::int64_t parent, std::string fold, std::int64_t id) {
    if (transaction != m_transaction || m_keys.size() >= Limit) {
        m_keys.clear();
        m_transaction = transaction;
    }
    if (const auto key = m_keys.find(parent); key != m_keys.end()) {
        key->second.emplace(std::move(fold), id);
    }
    m_keys.try_emplace(id);
}

void CreatedKeys::Forget() {
    m_keys.clear();
}

}  // namespace vor::store
