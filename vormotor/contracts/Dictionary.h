#pragma once

#include <cstdint>
#include <vector>

namespace vor {

// The keyed dictionary in which the outside libraries return parameter tables, field tables and
// value-name tables. Iteration order is insertion order.
template <class Key, class Value>
class Dictionary {
public:
    virtual ~Dictionary() = default;

    virtual std::int32_t Count() = 0;
    // A missing key raises an error; it never yields a default item.
    virtual Value Item(const Key& key) = 0;
    virtual bool Exists(const Key& key) = 0;
    virtual void RemoveAll() = 0;
    virtual std::vector<Key> Keys() = 0;
    virtual std::vector<Value> Items() = 0;
};

}  // namespace vor
