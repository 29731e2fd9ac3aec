#include "vormotor/toolkit/FontObject.h"

#include <memory>

#include "vormotor/core/Error.h"
#include "vormotor/toolkit/PropertyErrors.h"

namespace vor {

Variant FontObject::Get(std::string_view name) {
    if (name == "Name") {
        return m_font.name;
    }
    if (name == "Size") {
        return double{m_font.size};
    }
    if (name == "Bold") {
        return m_font.bold;
    }
    if (name == "Italic") {
        return m_font.italic;
    }
    ThrowUnknownProperty(TypeName(), name);
}

void FontObject::Set(std::string_view name, const Variant& value) {
    if (name == "Name") {
        m_font.name = VariantToText(value);
    } else if (name == "Size") {
        m_font.size = VariantToSingle(value);
    } else if (name == "Bold") {
        m_font.bold = VariantToBool(value);
    } else if (name == "Italic") {
        m_font.italic = VariantToBool(value);
    } else {
        ThrowUnknownProperty(TypeName(), name);
    }
}

Font VariantToFont(const Variant& value) {
    const auto object = VariantToObject(value);
    if (const auto* font = dynamic_cast<const FontObject*>(object.get())) {
        return font->Value();
    }
    throw Error(error_number::TypeMismatch, "StdFont", "Type mismatch: a font was expected");
}

}  // namespace vor
