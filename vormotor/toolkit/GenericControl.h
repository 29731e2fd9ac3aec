#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "vormotor/toolkit/Control.h"
#include "vormotor/toolkit/DynamicProperties.h"

namespace vor {

// A control of any type name whose extra properties are defined at run time: the host
// application's control kinds (toolbars, tab strips, ...) that the panel itself does not use.
class GenericControl final : public Control {
public:
    GenericControl(std::string typeName, std::string name, std::optional<std::int32_t> index = std::nullopt);

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
