#include "vormotor/valuelib/ValueEntry.h"

#include <utility>

namespace vor::valuelib {

ValueEntry::ValueEntry(Gate gate, std::int32_t code, std::string name, bool visible)
    : m_gate(std::move(gate)), m_code(code), m_name(std::move(name)), m_visible(visible) {}

std::int32_t ValueEntry::Code() {
    m_gate.Enter("Entry.Code");
    return m_code;
}

std::string ValueEntry::Name() {
    m_gate.Enter("Entry.Name");
    return m_name;
}

bool ValueEntry::Visible() {
    m_gate.Enter("Entry.Visible");
    return m_visible;
}

void ValueEntry::SetVisible(bool visible) {
    m_gate.Enter("Entry.SetVisible");
    m_visible = visible;
}

}  // namespace vor::valuelib
