#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vormotor/toolkit/Variant.h"

namespace vor {

// An object whose properties can be read and written by name, as late-bound code does.
// Unknown names raise "Object doesn't support this property or method".
class Dispatch {
public:
    virtual ~Dispatch() = default;

    // The class name as the toolkit reports it ("Frame", "Label", ...).
    virtual std::string TypeName() const = 0;

    virtual Variant Get(std::string_view name) = 0;
    virtual void Set(std::string_view name, const Variant& value) = 0;
    // Indexed properties such as a tab strip's "TabCaption"(i). None unless a class has some.
    virtual Variant GetIndexed(std::string_view name, std::int32_t index);
    virtual void SetIndexed(std::string_view name, std::int32_t index, const Variant& value);
};

}  // namespace vor
