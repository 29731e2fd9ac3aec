#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "vormotor/contracts/Tarvine.h"
#include "vormotor/contracts/ValueObject.h"
#include "vormotor/core/WithEvents.h"
#include "vormotor/toolkit/Control.h"
#include "vormotor/toolkit/Font.h"

namespace vor::editors {

// The parameter editor: a caption beside an edit field, bound to one value. Once bound it
// shows the value's info text as its caption and the content text in its field, and follows
// the value's changes; a user edit writes the content's number. Unbound it shows its stored
// caption and an empty field.
class TarvineEditor final : public Control, public Tarvine {
public:
    TarvineEditor(std::string name, std::optional<std::int32_t> index);

    std::string TypeName() const override { return "Tarvine"; }

    std::optional<std::int32_t> Parameter() override { return m_parameter; }
    std::shared_ptr<ValueObject> ValueObjRef() override { return m_value.Get(); }
    void SetValueObjRef(std::shared_ptr<ValueObject> value) override;

    // Stored design properties.
    void SetParameter(std::optional<std::int32_t> parameter);
    const std::string& ParamKey() const noexcept { return m_paramKey; }
    void SetParamKey(std::string key);
    const std::string& StoredCaption() const noexcept { return m_storedCaption; }
    void SetStoredCaption(std::string caption);
    const Font& CaptionFont() const noexcept { return m_captionFont; }
    void SetCaptionFont(const Font& font);
    float EditorWidth() const noexcept { return m_editorWidth; }
    void SetEditorWidth(float width);

    // What the editor shows.
    const std::string& Caption() const noexcept { return m_caption; }
    const std::string& Text() const noexcept { return m_text; }
    // Why the last edit was refused; empty after an accepted one.
    const std::string& Message() const noexcept { return m_message; }

    // The user typed `text` and confirmed it. Returns whether it was written.
    bool UserEdit(const std::string& text);

protected:
    const Property* FindProperty(std::string_view name) const override;

private:
    void ShowValue();
    void SetShown(std::string caption, std::string text);
    void SetMessage(std::string message);

    // Binding.
    std::optional<std::int32_t> m_parameter;
    WithEvents<ValueObject> m_value;

    // Stored design properties.
    std::string m_paramKey;
    std::string m_storedCaption = "N/A";
    Font m_captionFont;
    float m_editorWidth = 0;

    // Shown.
    std::string m_caption = "N/A";
    std::string m_text;
    std::string m_message;
};

}  // namespace vor::editors

// The names above as hosts know them, in vor.
namespace vor {
using editors::TarvineEditor;
}  // namespace vor
