#include "vormotor/regstore/ListingCache.h"

#include <algorithm>
#include <utility>

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
    clear(m_valueLists);
    m_lastValues = {};
    m_valuesToTheEnd = {};
    m_listedValuesSize = 0;
    m_listedIn = {};
}

void ListingCache::SubKeysEnded(std::int64_t id) {
    if (const auto listing = m_subKeyLists.find(id); listing != m_subKeyLists.end()) {
        m_listedValuesSize -= m_listedToTheEnd.second.values.size();
        m_spare = std::exchange(m_listedToTheEnd.second, std::move(listing->second));
        m_spare.subKeys.clear();
        m_spare.values.clear();
        m_listedToTheEnd.first = id;
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

ListingCache::Listing* ListingCache::ListingOf(std::int64_t parent) {
    if (const auto listing = m_subKeyLists.find(parent); listing != m_subKeyLists.end()) {
        return &listing->second;
    }
    return m_listedToTheEnd.first == parent ? &m_listedToTheEnd.second : nullptr;
}

std::pair<ListingCache::Listing*, ListingCache::SubKey*> ListingCache::LastListed(std::int64_t id) {
    Listing* listing = ListingOf(m_lastListed.first);
    if (listing == nullptr || m_lastListed.second >= listing->subKeys.size() ||
        listing->subKeys[m_lastListed.second].id != id) {
        return {nullptr, nullptr};
    }
    return {listing, &listing->subKeys[m_lastListed.second]};
}

std::optional<std::string_view> ListingCache::TakeListedValues(std::int64_t id) {
    const auto [listing, subKey] = LastListed(id);
    if (subKey == nullptr || !subKey->valuesListed) {
        return std::nullopt;
    }
    subKey->valuesListed = false;
    return std::string_view(listing->values).substr(subKey->valuesAt, subKey->valuesSize);
}

std::optional<std::int64_t> ListingCache::ListedSubKey(std::int64_t parent, std::string_view fold) {
    const Listing* listing = ListingOf(parent);
    if (listing == nullptr) {
        return std::nullopt;
    }
    const std::vector<SubKey>& subKeys = listing->subKeys;
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
