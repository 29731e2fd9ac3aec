#pragma once

#include <cstdint>
#include <string>

#include "vormotor/toolkit/Dispatch.h"
#include "vormotor/toolkit/DynamicProperties.h"

namespace vor {

// A sub-object of a control (a toolbar button, a tab) with properties defined at run time.
class GenericObject final : public Dispatch {
public:
    explicit GenericObject(std::string typeName) : m_typeName(typeName), m_properties(std::move(typeName)) {}

    std::string TypeName() const override { return m_typeName; }

    DynamicProperties& Properties() noexcept { return m_properties; }

    Variant Get(std::string_view name) override;
    void Set(std::string_view name, const Variant& value) override;
    Variant GetIndexed(std::string_view name, std::int32_t index) override;
    void SetIndexed(std::string_view name, std::int32_t index, const Variant& value) override;

private:
    std::string m_typeName;
    DynamicProperties m_properties;
};

}  // namespace vor
