#include "vormotor/toolkit/GenericControl.h"

#include <utility>

namespace vor {

GenericControl::GenericControl(std::string typeName, std::string name, std::optional<std::int32_t> index)
    : Control(std::move(name), index), m_typeName(typeName), m_properties(std::move(typeName)) {}

Variant GenericControl::Get(std::string_view name) {
    if (auto value = m_properties.TryGet(name)) {
        return *value;
    }
    return Control::Get(name);
}

void GenericControl::Set(std::string_view name, const Variant& value) {
    if (m_properties.TrySet(name, value)) {
        Notify(name);
        return;
    }
    Control::Set(name, value);
}

Variant GenericControl::GetIndexed(std::string_view name, std::int32_t index) {
    return m_properties.GetIndexed(name, index);
}

void GenericControl::SetIndexed(std::string_view name, std::int32_t index, const Variant& value) {
    m_properties.SetIndexed(name, index, value);
    Notify(name);
}

}  // namespace vor
