#include "vormotor/toolkit/GenericObject.h"

#include "vormotor/toolkit/PropertyErrors.h"

namespace vor {

Variant GenericObject::Get(std::string_view name) {
    if (auto value = m_properties.TryGet(name)) {
        return *value;
    }
    ThrowUnknownProperty(m_typeName, name);
}

void GenericObject::Set(std::string_view name, const Variant& value) {
    if (!m_properties.TrySet(name, value)) {
        ThrowUnknownProperty(m_typeName, name);
    }
}

Variant GenericObject::GetIndexed(std::string_view name, std::int32_t index) {
    return m_properties.GetIndexed(name, index);
}

void GenericObject::SetIndexed(std::string_view name, std::int32_t index, const Variant& value) {
    m_properties.SetIndexed(name, index, value);
}

}  // namespace vor
