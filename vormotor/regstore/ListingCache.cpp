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
    // A batch that writes key after key comes here at each key, mostly with nothing to forget: an empty hash table
    // is left as it is, as clearing one still wipes all its buckets.
    const auto clear = [](auto& listings) {
        if (!listings.empty()) {
            listings.clear();
        }
    };
    clear(m_subKeyLists);
    m_listedToTheEnd = {};
    clear(m_withoutSubKeys);
    clear(m_valueLists);
    m_lastValues = {};
    m_valuesToTheEnd = {};
    clear(m_listedValues);
    m_listedValuesSize = 0;
    m_listedIn = {};
}

void ListingCache::SubKeysEnded(std::int64_t id) {
    if (const auto listing = m_subKeyLists.find(id); listing != m_subKeyLists.end()) {
        m_listedToTheEnd = {id, std::move(listing->second)};
        m_subKeyLists.erase(listing);
    }
}

void ListingCache::ValuesEnded(std::int64_t id) {
    if (const auto list = m_valueLists.find(id); list != m_valueLists.end()) {
        m_valuesToTheEnd = {id, std::move(list->second)};
        m_valueLists.erase(list);
        m_lastValues = {};
    }
}

std::optional<ValueList> ListingCache::TakeListedValues(std::int64_t id) {
    const auto blob = m_listedValues.find(id);
    if (blob == m_listedValues.end()) {
        return std::nullopt;
    }
    m_listedValuesSize -= blob->second.size();
    std::optional<ValueList> values = ValueList::DecodeOwned(std::move(blob->second));
    m_listedValues.erase(blob);
    return values;
}

std::optional<std::int64_t> ListingCache::ListedSubKey(std::int64_t parent, std::string_view fold) {
    const auto listing = m_subKeyLists.find(parent);
    if (listing == m_subKeyLists.end() && m_listedToTheEnd.first != parent) {
        return std::nullopt;
    }
    const std::vector<SubKey>& subKeys = listing != m_subKeyLists.end() ? listing->second : m_listedToTheEnd.second;
    // A save opens the sub-keys in their listing's order: the one after the last found comes first.
    const std::size_t next = m_lastListed.first == parent ? m_lastListed.second + 1 : 0;
    auto found = subKeys.begin() + static_cast<std::ptrdiff_t>(std::min(next, subKeys.size()));
    if (found == subKeys.end() || CompareFolded(found->name, fold) != 0) {
        found = std::lower_bound(subKeys.begin(), subKeys.end(), fold, [](const SubKey& subKey, std::string_view f) {
            return CompareFolded(subKey.name, f) < 0;
        });
        if (found == subKeys.end() || CompareFolded(found->name, fold) != 0) {
            return std::nullopt;
        }
    }
    m_lastListed = {parent, static_cast<std::size_t>(found - subKeys.begin())};
    return found->id;
}

}  // namespace vor::store
