#include "vormotor/editors/TarvineEditor.h"

#include <array>
#include <utility>
#include <vector>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"
#include "vormotor/core/FailureStyles.h"
#include "vormotor/editors/EditorSupport.h"
#include "vormotor/toolkit/FontObject.h"

namespace vor::editors {
namespace {

TarvineEditor& AsTarvine(Control& control) {
    return static_cast<TarvineEditor&>(control);
}

}  // namespace

TarvineEditor::TarvineEditor(std::string name, std::optional<std::int32_t> index)
    : Control(std::move(name), index),
      m_value(HandleEvent(&ValueObject::ContentChanged, [this](double) { ShowValue(); })) {}

void TarvineEditor::SetValueObjRef(std::shared_ptr<ValueObject> value) {
    m_value = std::move(value);
    ShowValue();
}

void TarvineEditor::SetParameter(std::optional<std::int32_t> parameter) {
    Assign(m_parameter, parameter, "parameter");
}

void TarvineEditor::SetParamKey(std::string key) {
    Assign(m_paramKey, std::move(key), "paramkey");
}

void TarvineEditor::SetStoredCaption(std::string caption) {
    Assign(m_storedCaption, std::move(caption), "caption");
    if (!m_value) {
        ShowValue();
    }
}

void TarvineEditor::SetCaptionFont(const Font& font) {
    Assign(m_captionFont, font, "captionfont");
}

void TarvineEditor::SetEditorWidth(float width) {
    Assign(m_editorWidth, width, "editorwidth");
}

bool TarvineEditor::UserEdit(const std::string& text) {
    EditorSupport::CheckReachable(*this);
    if (!m_value) {
        SetMessage("No parameter is bound to this editor.");
        return false;
    }
    const auto number = NumberFromText(text);
    if (!number) {
        SetMessage("\"" + text + "\" is not a number.");
        ShowValue();
        return false;
    }
    try {
        m_value->Content().SetNumber(*number);
    } catch (const Error& error) {
        SetMessage(error.Description());
        ShowValue();
        return false;
    }
    SetMessage({});
    return true;
}

void TarvineEditor::ShowValue() {
    if (!m_value) {
        SetShown(m_storedCaption, {});
        return;
    }
    // A value that cannot be read leaves the editor showing what it showed before.
    auto value = m_value.Get();
    SkipOnFailure([&] { SetShown(value->Info().Text(), value->Content().Text()); });
}

void TarvineEditor::SetShown(std::string caption, std::string text) {
    Assign(m_caption, std::move(caption), "Caption");
    Assign(m_text, std::move(text), "Text");
}

void TarvineEditor::SetMessage(std::string message) {
    Assign(m_message, std::move(message), "Message");
}

const Control::Property* TarvineEditor::FindProperty(std::string_view name) const {
    static constexpr std::array<Property, 9> kProperties{{
        {"paramkey", [](Control& c) -> Variant { return AsTarvine(c).ParamKey(); },
         [](Control& c, const Variant& v) { AsTarvine(c).SetParamKey(VariantToText(v)); }},
        {"parameter", [](Control& c) -> Variant { return EditorSupport::ParameterToVariant(AsTarvine(c).Parameter()); },
         [](Control& c, const Variant& v) { AsTarvine(c).SetParameter(EditorSupport::ParameterFromVariant(v)); }},
        {"caption", [](Control& c) -> Variant { return AsTarvine(c).StoredCaption(); },
         [](Control& c, const Variant& v) { AsTarvine(c).SetStoredCaption(VariantToText(v)); }},
        {"captionfont", [](Control& c) -> Variant { return std::make_shared<FontObject>(AsTarvine(c).CaptionFont()); },
         [](Control& c, const Variant& v) { AsTarvine(c).SetCaptionFont(VariantToFont(v)); }},
        {"font", [](Control& c) -> Variant { return std::make_shared<FontObject>(c.GetFont()); },
         [](Control& c, const Variant& v) { c.SetFont(VariantToFont(v)); }},
        {"editorwidth", [](Control& c) -> Variant { return double{AsTarvine(c).EditorWidth()}; },
         [](Control& c, const Variant& v) { AsTarvine(c).SetEditorWidth(VariantToSingle(v)); }},
        {"ShownCaption", [](Control& c) -> Variant { return AsTarvine(c).Caption(); }, nullptr},
        {"Text", [](Control& c) -> Variant { return AsTarvine(c).Text(); }, nullptr},
        {"Message", [](Control& c) -> Variant { return AsTarvine(c).Message(); }, nullptr},
    }};
    const Property* own = FindIn(kProperties, name);
    return own != nullptr ? own : Control::FindProperty(name);
}

}  // namespace vor::editors
