#include "vormotor/toolkit/DynamicProperties.h"

#include <utility>

#include "vormotor/toolkit/PropertyErrors.h"

namespace vor {

void DynamicProperties::Define(std::string name, Variant value, bool readOnly) {
    if (readOnly) {
        m_readOnly.insert(name);
    }
    m_values.insert_or_assign(std::move(name), std::move(value));
}

void DynamicProperties::DefineIndexed(std::string name, std::map<std::int32_t, Variant> values, bool readOnly) {
    if (readOnly) {
        m_readOnly.insert(name);
    }
    m_indexed.insert_or_assign(std::move(name), std::move(values));
}

std::optional<Variant> DynamicProperties::TryGet(std::string_view name) const {
    const auto found = m_values.find(name);
    if (found == m_values.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool DynamicProperties::TrySet(std::string_view name, const Variant& value) {
    const auto found = m_values.find(name);
    if (found == m_values.end()) {
        return false;
    }
    CheckWritable(name);
    found->second = value;
    return true;
}

template <class Self>
auto* DynamicProperties::ElementOf(Self& self, std::string_view name, std::int32_t index) {
    const auto property = self.m_indexed.find(name);
    if (property == self.m_indexed.end()) {
        ThrowUnknownProperty(self.m_ownerType, name);
    }
    const auto element = property->second.find(index);
    if (element == property->second.end()) {
        ThrowIndexOutOfRange(self.m_ownerType, name, index);
    }
    return &element->second;
}

Variant DynamicProperties::GetIndexed(std::string_view name, std::int32_t index) const {
    return *ElementOf(*this, name, index);
}

void DynamicProperties::SetIndexed(std::string_view name, std::int32_t index, const Variant& value) {
    Variant* element = ElementOf(*this, name, index);
    CheckWritable(name);
    *element = value;
}

void DynamicProperties::CheckWritable(std::string_view name) const {
    if (m_readOnly.find(name) != m_readOnly.end()) {
        ThrowReadOnlyProperty(m_ownerType, name);
    }
}

}  // namespace vor
