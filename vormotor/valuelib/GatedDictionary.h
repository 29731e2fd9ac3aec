#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "vormotor/contracts/Dictionary.h"
#include "vormotor/contracts/OrderedDictionary.h"
#include "vormotor/valuelib/DictionaryName.h"
#include "vormotor/valuelib/Gate.h"

namespace vor::valuelib {

// A dictionary handed out by the libraries. Its calls pass the gate under the dictionary's own
// name ("Fields.Count", "ValueNames.Item"), so each table can be made to fail on its own, and
// Item can be made to hand out a null object. The
// library keeps the concrete items (Stored) and hands out the interface type (Value).
template <class Key, class Value, class Stored = Value>
class GatedDictionary final : public Dictionary<Key, Value> {
public:
    GatedDictionary(Gate gate, DictionaryName name) : m_gate(std::move(gate)), m_operations(name.operations) {}

    std::int32_t Count() override {
        m_gate.Enter(m_operations[kCount]);
        return m_items.Count();
    }
    Value Item(const Key& key) override {
        if (m_gate.EnterForObject(m_operations[kItem])) {
            return nullptr;
        }
        return m_items.Item(key);
    }
    bool Exists(const Key& key) override {
        m_gate.Enter(m_operations[kExists]);
        return m_items.Exists(key);
    }
    void RemoveAll() override {
        m_gate.Enter(m_operations[kRemoveAll]);
        m_items.RemoveAll();
    }
    std::vector<Key> Keys() override {
        m_gate.Enter(m_operations[kKeys]);
        return m_items.Keys();
    }
    std::vector<Value> Items() override {
        m_gate.Enter(m_operations[kItems]);
        return m_items.template ItemsAs<Value>();
    }

    // The library's own access, not a call of its user: it passes no gate.
    OrderedDictionary<Key, Stored>& Contents() noexcept { return m_items; }

private:
    enum OperationIndex { kCount, kItem, kExists, kRemoveAll, kKeys, kItems };

    Gate m_gate;
    std::array<OperationId, 6> m_operations;
    OrderedDictionary<Key, Stored> m_items;
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::GatedDictionary;
}  // namespace vor
