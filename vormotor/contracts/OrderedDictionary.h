#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "vormotor/contracts/Dictionary.h"
#include "vormotor/core/Error.h"

namespace vor {

// Insertion-ordered dictionary with unique keys.
//
// The entries lie in one array in insertion order. Most tables of the libraries are short (a
// field's value names, a value's fields) and are made anew at every attach, so a short table is
// searched along that array and costs one allocation; a longer one also keeps an index of entry
// numbers, open addressing in one more array, for the drive's parameter tables. A whole-number
// key below 32 (every value name's code, nearly) is found by its number in a small table of its
// own: the panel looks its options up one by one at every attach.
template <class Key, class Value>
class OrderedDictionary final : public Dictionary<Key, Value> {
public:
    std::int32_t Count() override { return static_cast<std::int32_t>(m_entries.size()); }

    Value Item(const Key& key) override {
        const Value* found = Find(key);
        if (found == nullptr) {
            throw Error(error_number::KeyNotFound, "Dictionary", "Element not found: " + KeyText(key));
        }
        return *found;
    }

    bool Exists(const Key& key) override { return Find(key) != nullptr; }

    void RemoveAll() override {
        m_entries.clear();
        m_index.clear();
        if constexpr (kHasSmallKeys) {
            m_smallKeys.fill(kEmpty);
        }
    }

    std::vector<Key> Keys() override {
        std::vector<Key> keys;
        keys.reserve(m_entries.size());
        for (const auto& entry : m_entries) {
            keys.push_back(entry.first);
        }
        return keys;
    }

    std::vector<Value> Items() override { return ItemsAs<Value>(); }

    // The items as the type a library hands out (Value converts to it), in one vector; from
    // the allocator given, if any.
    template <class As, class Allocator = std::allocator<As>>
    std::vector<As, Allocator> ItemsAs(const Allocator& allocator = Allocator()) const {
        std::vector<As, Allocator> items(allocator);
        items.reserve(m_entries.size());
        for (const auto& entry : m_entries) {
            items.emplace_back(entry.second);
        }
        return items;
    }

    void Add(const Key& key, Value value) {
        if (Find(key) != nullptr) {
            throw Error(error_number::KeyAlreadyExists, "Dictionary",
                        "This key is already associated with an element of this collection: " + KeyText(key));
        }
        // Whatever may fail comes before the entry is added, so a failed Add leaves the table as it was.
        const std::size_t count = m_entries.size() + 1;
        if (count > kSearchedAlong && count * 2 > m_index.size()) {
            Reindex(std::bit_ceil(count * 4));
        }
        if (m_entries.empty()) {
            m_entries.reserve(kFirstRoom);
        }
        m_entries.emplace_back(key, std::move(value));
        if (!m_index.empty()) {
            m_index[FreeSlot(key)] = static_cast<std::uint32_t>(count);
        }
        if constexpr (kHasSmallKeys) {
            if (IsSmall(key)) {
                m_smallKeys[static_cast<std::size_t>(key)] = static_cast<std::uint32_t>(count);
            }
        }
    }

    // The library's own access, besides the interface: the item of a key or null, in one look-up.
    const Value* Find(const Key& key) const {
        if constexpr (kHasSmallKeys) {
            if (IsSmall(key)) {
                const std::uint32_t number = m_smallKeys[static_cast<std::size_t>(key)];
                return number == kEmpty ? nullptr : &m_entries[number - 1].second;
            }
        }
        if (m_index.empty()) {
            for (const auto& entry : m_entries) {
                if (entry.first == key) {
                    return &entry.second;
                }
            }
            return nullptr;
        }
        const std::size_t mask = m_index.size() - 1;
        for (std::size_t slot = Home(key); m_index[slot] != kEmpty; slot = (slot + 1) & mask) {
            const auto& entry = m_entries[m_index[slot] - 1];
            if (entry.first == key) {
                return &entry.second;
            }
        }
        return nullptr;
    }

private:
    // Up to this many entries a search along the entries beats hashing the key.
    static constexpr std::size_t kSearchedAlong = 16;
    static constexpr std::size_t kFirstRoom = 16;
    // An index slot holds an entry's number plus one; 0 marks a free slot.
    static constexpr std::uint32_t kEmpty = 0;
    // Whole-number keys from 0 up to this one have their entry's number (plus one) in a table of
    // their own.
    static constexpr bool kHasSmallKeys = std::is_integral_v<Key>;
    static constexpr std::size_t kSmallKeyCount = 32;

    static constexpr bool IsSmall(const Key& key) noexcept {
        if constexpr (std::is_signed_v<Key>) {
            if (key < 0) {
                return false;
            }
        }
        return static_cast<std::make_unsigned_t<Key>>(key) < kSmallKeyCount;
    }

    static std::string KeyText(const Key& key) {
        std::ostringstream text;
        text << key;
        return text.str();
    }

    // Spreads the key's hash over the index (Fibonacci hashing): whole-number keys hash to
    // themselves, and parameter numbers come in runs.
    std::size_t Home(const Key& key) const {
        const std::uint64_t spread = static_cast<std::uint64_t>(std::hash<Key>{}(key)) * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(spread >> 32) & (m_index.size() - 1);
    }

    std::size_t FreeSlot(const Key& key) const {
        const std::size_t mask = m_index.size() - 1;
        std::size_t slot = Home(key);
        while (m_index[slot] != kEmpty) {
            slot = (slot + 1) & mask;
        }
        return slot;
    }

    void Reindex(std::size_t slots) {
        std::vector<std::uint32_t> index(slots, kEmpty);
        std::swap(m_index, index);
        for (std::size_t number = 0; number < m_entries.size(); ++number) {
            m_index[FreeSlot(m_entries[number].first)] = static_cast<std::uint32_t>(number + 1);
        }
    }

    struct NoSmallKeys {};

    std::vector<std::pair<Key, Value>> m_entries;
    std::vector<std::uint32_t> m_index;
    [[no_unique_address]] std::conditional_t<kHasSmallKeys, std::array<std::uint32_t, kSmallKeyCount>, NoSmallKeys>
        m_smallKeys{};
};

}  // namespace vor
