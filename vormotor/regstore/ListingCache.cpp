#include "vormotor/regstore/ListingCache.h"

#include <algorithm>

#include "vormotor/regstore/NameFold.h"

namespace vor::store {

void ListingCache::Check(const DatabaseState& now) {
    if (now != m_listedIn) {
        Forget();
        m_listedIn = now;
    }
}

void ListingCache::Forget() {
    m_subKeyLists.clear();
    m_listedToTheEnd = {};
    m_withoutSubKeys.clear();
    m_valueLists.clear();
    m_listedIn = {};
}

void ListingCache::SubKeysEnded(std::int64_t id) {
    if (const auto listing = m_subKeyLists.find(id); listing != m_subKeyLists.end()) {
        m_listedToTheEnd = {id, std::move(listing->second)};
        m_subKeyLists.erase(listing);
    }
}

std::optional<std::int64_t> ListingCache::ListedSubKey(std::int64_t parent, std::string_view fold) const {
    const auto listing = m_subKeyLists.find(parent);
    if (listing == m_subKeyLists.end() && m_listedToTheEnd.first != parent) {
        return std::nullopt;
    }
    const std::vector<SubKey>& subKeys = listing != m_subKeyLists.end() ? listing->second : m_listedToTheEnd.second;
    const auto found =
        std::lower_bound(subKeys.begin(), subKeys.end(), fold,
                         [](const SubKey& subKey, std::string_view f) { return CompareFolded(subKey.name, f) < 0; });
    if (found == subKeys.end() || CompareFolded(found->name, fold) != 0) {
        return std::nullopt;
    }
    return found->id;
}

}  // namespace vor::store
