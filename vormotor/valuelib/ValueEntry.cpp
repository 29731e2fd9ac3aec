#include "vormotor/valuelib/ValueEntry.h"

#include <algorithm>
#include <utility>

namespace vor::valuelib {

ValueEntry::ValueEntry(Gate gate, std::int32_t code, std::string_view name, bool visible)
    : m_ownGate(std::make_unique<const Gate>(std::move(gate))), m_gate(m_ownGate.get()), m_code(code), m_visible(visible) {
    KeepName(name);
}

ValueEntry::ValueEntry(const Gate* blockGate, std::int32_t code, std::string_view name, bool visible)
    : m_gate(blockGate), m_code(code), m_visible(visible) {
    KeepName(name);
}

void ValueEntry::KeepName(std::string_view name) {
    if (name.size() <= kInlineName) {
        std::copy(name.begin(), name.end(), m_inlineName.begin());
        m_inlineLength = static_cast<std::uint8_t>(name.size());
    } else {
        m_longName = std::make_unique<const std::string>(name);
    }
}

std::int32_t ValueEntry::Code() {
    m_gate->Enter("Entry.Code");
    return m_code;
}

std::string ValueEntry::Name() {
    m_gate->Enter("Entry.Name");
    return std::string(NameView());
}

bool ValueEntry::Visible() {
    m_gate->Enter("Entry.Visible");
    return m_visible;
}

void ValueEntry::SetVisible(bool visible) {
    m_gate->Enter("Entry.SetVisible");
    m_visible = visible;
}

}  // namespace vor::valuelib
