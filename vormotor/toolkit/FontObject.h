#pragma once

#include <string>

#include "vormotor/toolkit/Dispatch.h"
#include "vormotor/toolkit/Font.h"

namespace vor {

// A font as an object, so that font-valued properties of external controls ("captionfont")
// can be read and written by name. Properties: Name, Size, Bold, Italic.
class FontObject final : public Dispatch {
public:
    explicit FontObject(Font font) : m_font(std::move(font)) {}

    std::string TypeName() const override { return "StdFont"; }
    const Font& Value() const noexcept { return m_font; }

    Variant Get(std::string_view name) override;
    void Set(std::string_view name, const Variant& value) override;

private:
    Font m_font;
};

// The font carried by a property value: a FontObject, or a type mismatch.
Font VariantToFont(const Variant& value);

}  // namespace vor
