#include "vormotor/toolkit/PropertyErrors.h"

#include <string>

#include "vormotor/core/Error.h"

namespace vor {

void ThrowUnknownProperty(std::string_view typeName, std::string_view property) {
    throw Error(error_number::PropertyNotSupported, std::string(typeName),
                "Object doesn't support this property or method: " + std::string(property));
}

void ThrowReadOnlyProperty(std::string_view typeName, std::string_view property) {
    throw Error(error_number::PropertyReadOnly, std::string(typeName),
                "Can't assign to read-only property: " + std::string(property));
}

void ThrowIndexOutOfRange(std::string_view typeName, std::string_view property, std::int32_t index) {
    throw Error(error_number::SubscriptOutOfRange, std::string(typeName),
                "Subscript out of range: " + std::string(property) + "(" + std::to_string(index) + ")");
}

}  // namespace vor
