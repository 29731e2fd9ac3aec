#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "vormotor/regstore/ValueList.h"

namespace vor::store {

// Enumerating by index would rescan a key for every index; each key being enumerated keeps its sorted
// sub-key names and its values, read once, until the database changes or the enumeration reaches its
// end. A listing also brings its sub-keys' values when they are small, so a save that opens each listed
// sub-key and reads its values asks the database once per parent, not once per key. Lists are read
// through the callers' readers, so the cache knows nothing of the database.
class ListingCache {
public:
    // A sub-key as its parent's listing has it: a save opens every sub-key it lists.
    struct SubKey {
        std::string name;
        std::int64_t id;
        bool hasSubKeys;
        // The sub-key's value blob, when the listing brought it and it was not taken yet: where it lies
        // among the listing's blobs.
        bool valuesListed;
        std::size_t valuesAt;
        std::size_t valuesSize;
    };
    // The state of the database the listings were read in: inside a batch its own transaction,
    // elsewhere the last commit of other connections; and this connection's own changes.
    struct DatabaseState {
        std::uint64_t transaction = 0;
        std::int64_t othersVersion = -1;
        std::int64_t ownChanges = -1;
        bool operator==(const DatabaseState&) const = default;
    };
    // Drops every listing when the database is no longer in the state they were read in.
    void Check(const DatabaseState& now);
    void Forget();

    // The most bytes of values a listing brings of one sub-key, and of all sub-keys kept at once: larger
    // values are read when they are asked for.
    static constexpr std::size_t ListedValuesLimit = 2048;
    static constexpr std::size_t ListedValuesBudget = 1 << 20;

    // The key's sub-keys in order; when they are not at hand, read(add) calls add(name, id, hasSubKeys,
    // values) for each, values the sub-key's value blob or nothing when the listing did not bring it.
    template <typename Read>
    const std::vector<SubKey>& SubKeys(std::int64_t id, Read&& read);
    // An enumeration of the key's sub-keys reached its end: its listing is kept aside, as the sub-keys
    // are usually opened next.
    void SubKeysEnded(std::int64_t id);
    // The sub-key of a listing at hand, found without asking the database.
    std::optional<std::int64_t> ListedSubKey(std::int64_t parent, std::string_view fold);

    // The key's values; read() gives them when they are not at hand. A blob the key's listing brought
    // that does not decode is read again.
    template <typename Read>
    const ValueList& Values(std::int64_t id, Read&& read);
    // An enumeration of the key's values reached its end: its list is kept aside, as a caller asking
    // once more past the end is usual.
    void ValuesEnded(std::int64_t id);
    // The key's value blob as its listing brought it, taken for one pass over it and not kept; nothing when
    // the listing did not bring it (or it was taken). It stays valid until the next call of the cache.
    std::optional<std::string_view> TakeListedValues(std::int64_t id);

private:
    // A key's sub-keys, read at once, with the value blobs the listing brought of them one after another: a
    // listing makes no allocation per sub-key, and the stepping through its rows stays a tight loop.
    struct Listing {
        std::vector<SubKey> subKeys;
        std::string values;
    };

    // Listings kept at once: enough for the keys a save of a deep tree has open, few enough that
    // reading key after key without enumerating them to the end stays small.
    static constexpr std::size_t ListingLimit = 64;

    template <typename List, typename Fill>
    static const List& ListOf(std::unordered_map<std::int64_t, List>& lists, std::int64_t id, Fill&& fill);

    Listing* ListingOf(std::int64_t parent);
    // The sub-key ListedSubKey found last, when it is this key and its parent's listing is still at hand: a
    // walk opens a sub-key, then asks for its values and sub-keys.
    std::pair<Listing*, SubKey*> LastListed(std::int64_t id);

    DatabaseState m_listedIn;
    std::unordered_map<std::int64_t, Listing> m_subKeyLists;
    // The listing enumerated to its end last.
    std::pair<std::int64_t, Listing> m_listedToTheEnd;
    // The room of the listing it replaced, emptied, for the next listing read: a walk lists key after key.
    Listing m_spare;
    // The parent and the place in its listing of the sub-key ListedSubKey found last.
    std::pair<std::int64_t, std::size_t> m_lastListed{0, 0};
    std::unordered_map<std::int64_t, ValueList> m_valueLists;
    // The list Values answered last, in m_valueLists.
    std::pair<std::int64_t, const ValueList*> m_lastValues{0, nullptr};
    // The value list enumerated to its end last.
    std::pair<std::int64_t, ValueList> m_valuesToTheEnd;
    // The bytes of value blobs the listings at hand brought.
    std::size_t m_listedValuesSize = 0;
};

// The cached list of one key, read by fill when it is not at hand.
template <typename List, typename Fill>
const List& ListingCache::ListOf(std::unordered_map<std::int64_t, List>& lists, std::int64_t id, Fill&& fill) {
    if (lists.size() >= ListingLimit) {
        lists.clear();
    }
    const auto [list, added] = lists.try_emplace(id);
    if (added) {
        fill(list->second);
    }
    return list->second;
}

template <typename Read>
const std::vector<ListingCache::SubKey>& ListingCache::SubKeys(std::int64_t id, Read&& read) {
    static const std::vector<SubKey> None;
    if (const SubKey* listed = LastListed(id).second; listed != nullptr && !listed->hasSubKeys) {
        return None;
    }
    if (m_subKeyLists.size() >= ListingLimit) {
        m_subKeyLists.clear();
        m_listedValuesSize = m_listedToTheEnd.second.values.size();
    }
    const auto fill = [&](Listing& listing) {
        listing = std::exchange(m_spare, {});
        read(
            [&](std::string_view name, std::int64_t subKeyId, bool hasSubKeys, std::optional<std::string_view> values) {
                const bool kept = values && m_listedValuesSize + values->size() <= ListedValuesBudget;
                listing.subKeys.push_back(
                    {std::string(name), subKeyId, hasSubKeys, kept, listing.values.size(), kept ? values->size() : 0});
                if (kept) {
                    listing.values.append(*values);
                    m_listedValuesSize += values->size();
                }
            });
    };
    return ListOf(m_subKeyLists, id, fill).subKeys;
}

template <typename Read>
const ValueList& ListingCache::Values(std::int64_t id, Read&& read) {
    if (m_valuesToTheEnd.first == id) {
        return m_valuesToTheEnd.second;
    }
    // An enumeration asks for the same list value after value.
    if (m_lastValues.first == id) {
        return *m_lastValues.second;
    }
    // Reading may fail, or make room by dropping every list.
    m_lastValues = {};
    const ValueList& list = ListOf(m_valueLists, id, [&](ValueList& values) {
        const std::optional<std::string_view> blob = TakeListedValues(id);
        std::optional<ValueList> listed = blob ? ValueList::Decode(*blob) : std::nullopt;
        values = listed ? std::move(*listed) : read();
    });
    m_lastValues = {id, &list};
    return list;
}

}  // namespace vor::store
