#include "vormotor/regstore/CreatedKeys.h"

#include <algorithm>
#include <utility>

namespace vor::store {

bool CreatedKeys::WasCreated(std::int64_t id) const {
    // Keys made one after another are numbered one after another: a key's number then tells its place in the list.
    if (!m_ids.empty() && id >= m_ids.front()) {
        const auto place = static_cast<std::uint64_t>(id - m_ids.front());
        if (place < m_ids.size() && m_ids[place] == id) {
            return true;
        }
    }
    return std::binary_search(m_ids.begin(), m_ids.end(), id);
}

std::optional<CreatedKeys::Known> CreatedKeys::SubKey(std::uint64_t transaction, std::int64_t parent,
                                                      std::string_view fold) const {
    if (transaction != m_transaction || !WasCreated(parent)) {
        return std::nullopt;
    }
    const auto key = m_subKeys.find(parent);
    if (key == m_subKeys.end()) {
        return Known{};
    }
    const auto subKey = key->second.find(fold);
    return subKey == key->second.end() ? Known{} : Known{subKey->second};
}

void CreatedKeys::Created(std::uint64_t transaction, std::int64_t parent, std::string fold, std::int64_t id) {
    if (transaction != m_transaction || m_ids.size() >= Limit) {
        Forget();
        m_transaction = transaction;
    }
    if (WasCreated(parent)) {
        m_subKeys[parent].emplace(std::move(fold), id);
    }
    // A key numbered below one made before it (the store is free to number so) still keeps the list sorted.
    if (m_ids.empty() || m_ids.back() < id) {
        m_ids.push_back(id);
    } else if (!WasCreated(id)) {
        m_ids.insert(std::upper_bound(m_ids.begin(), m_ids.end(), id), id);
    }
}

void CreatedKeys::Forget() {
    m_ids.clear();
    m_subKeys.clear();
}

}  // namespace vor::store
