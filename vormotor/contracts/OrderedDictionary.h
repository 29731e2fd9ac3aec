#pragma once

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "vormotor/contracts/Dictionary.h"
#include "vormotor/core/Error.h"

namespace vor {

// Insertion-ordered dictionary with unique keys.
template <class Key, class Value>
class OrderedDictionary final : public Dictionary<Key, Value> {
public:
    std::int32_t Count() override { return static_cast<std::int32_t>(m_entries.size()); }

    Value Item(const Key& key) override {
        const auto found = m_index.find(key);
        if (found == m_index.end()) {
            throw Error(error_number::KeyNotFound, "Dictionary", "Element not found: " + KeyText(key));
        }
        return m_entries[found->second].second;
    }

    bool Exists(const Key& key) override { return m_index.contains(key); }

    void RemoveAll() override {
        m_entries.clear();
        m_index.clear();
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

    // The items as the type a library hands out (Value converts to it), in one vector.
    template <class As>
    std::vector<As> ItemsAs() const {
        std::vector<As> items;
        items.reserve(m_entries.size());
        for (const auto& entry : m_entries) {
            items.push_back(entry.second);
        }
        return items;
    }

    void Add(const Key& key, Value value) {
        if (m_index.contains(key)) {
            throw Error(error_number::KeyAlreadyExists, "Dictionary",
                        "This key is already associated with an element of this collection: " + KeyText(key));
        }
        m_index.emplace(key, m_entries.size());
        m_entries.emplace_back(key, std::move(value));
    }

private:
    static std::string KeyText(const Key& key) {
        std::ostringstream text;
        text << key;
        return text.str();
    }

    std::vector<std::pair<Key, Value>> m_entries;
    std::map<Key, std::size_t> m_index;
};

}  // namespace vor
