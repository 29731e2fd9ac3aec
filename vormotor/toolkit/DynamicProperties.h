#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "vormotor/toolkit/Variant.h"

namespace vor {

// Properties defined at run time, plain and indexed, any of them read-only. Used by controls and
// objects of types the toolkit does not model itself. Errors name the owner's type.
class DynamicProperties {
public:
    explicit DynamicProperties(std::string ownerType) : m_ownerType(std::move(ownerType)) {}

    void Define(std::string name, Variant value, bool readOnly = false);
    void DefineIndexed(std::string name, std::map<std::int32_t, Variant> values, bool readOnly = false);

    // Empty when no such property is defined.
    std::optional<Variant> TryGet(std::string_view name) const;
    // False when no such property is defined; raises for a read-only one.
    bool TrySet(std::string_view name, const Variant& value);

    Variant GetIndexed(std::string_view name, std::int32_t index) const;
    void SetIndexed(std::string_view name, std::int32_t index, const Variant& value);

private:
    // The element's storage; const or not as Self is.
    template <class Self>
    static auto* ElementOf(Self& self, std::string_view name, std::int32_t index);
    void CheckWritable(std::string_view name) const;

    std::string m_ownerType;
    std::map<std::string, Variant, std::less<>> m_values;
    std::map<std::string, std::map<std::int32_t, Variant>, std::less<>> m_indexed;
    std::set<std::string, std::less<>> m_readOnly;
};

}  // namespace vor
