#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vor::store {

// The keys one transaction created, each with the sub-keys the transaction created below it. A key
// made in the transaction has no other sub-keys, so whether a name below it is taken needs no look-up
// in the store: a load that creates key after key asks the store once per key it writes, not twice.
class CreatedKeys {
public:
    // Keys remembered at once; past it the record starts anew, which costs look-ups, never answers.
    static constexpr std::size_t Limit = 1 << 16;

    // What the record knows of the sub-key fold of parent: its id, or that there is none; nothing when
    // the transaction did not create parent.
    struct Known {
        std::optional<std::int64_t> id;
    };
    std::optional<Known> SubKey(std::uint64_t transaction, std::int64_t parent, std::string_view fold) const;

    // The transaction created id below parent.
    void Created(std::uint64_t transaction, std::int64_t parent, std::string fold, std::int64_t id);
    // A key was deleted, or the transaction undone: nothing recorded holds any longer.
    void Forget();

private:
    // Looks names up by view, without a copy.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    using SubKeys = std::unordered_map<std::string, std::int64_t, NameHash, std::equal_to<>>;

    bool WasCreated(std::int64_t id) const;

    std::uint64_t m_transaction = 0;
    // The keys created, sorted: the store numbers new keys upwards, so the list grows at its end, one number a key,
    // where a map would take a node a key.
    std::vector<std::int64_t> m_ids;
    // Created key -> its sub-keys created since, by folded name, for the keys that have any.
    std::unordered_map<std::int64_t, SubKeys> m_subKeys;
};

}  // namespace vor::store
