#include "vormotor/toolkit/Dispatch.h"

#include "vormotor/toolkit/PropertyErrors.h"

namespace vor {

Variant Dispatch::GetIndexed(std::string_view name, std::int32_t) {
    ThrowUnknownProperty(TypeName(), name);
}

void Dispatch::SetIndexed(std::string_view name, std::int32_t, const Variant&) {
    ThrowUnknownProperty(TypeName(), name);
}

}  // namespace vor
