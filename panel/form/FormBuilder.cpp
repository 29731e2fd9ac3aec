#include "panel/form/FormBuilder.h"

#include <memory>
#include <string>

#include "core/Error.h"
#include "toolkit/CaptionedControl.h"
#include "toolkit/ComboBox.h"
#include "toolkit/ControlClasses.h"
#include "toolkit/FontObject.h"
#include "toolkit/Frame.h"
#include "toolkit/Label.h"
#include "toolkit/Line.h"

namespace vor {
namespace {

constexpr float kRadioGroupFontSize = 8.25f;

std::unique_ptr<Control> CreateControl(const ControlSpec& spec) {
    std::string name(spec.name);
    switch (spec.kind) {
        case ControlKind::Frame:
            return std::make_unique<Frame>(std::move(name), spec.index);
        case ControlKind::Label:
            return std::make_unique<Label>(std::move(name), spec.index);
        case ControlKind::ComboBox:
            return std::make_unique<ComboBox>(std::move(name), spec.index);
        case ControlKind::Line:
            return std::make_unique<Line>(std::move(name), spec.index);
        case ControlKind::Tarvine:
            return ControlClasses::Create(kTarvineClass, std::move(name), spec.index);
        case ControlKind::Sorvane:
            return ControlClasses::Create(kSorvaneClass, std::move(name), spec.index);
    }
    throw Error(error_number::InvalidPropertyValue, "FormBuilder", "Unknown control kind for " + name);
}

std::shared_ptr<Dispatch> FontValue(Font font) {
    return std::make_shared<FontObject>(std::move(font));
}

void ApplyGeometry(Control& control, const ControlSpec& spec) {
    if (spec.kind != ControlKind::Line) {
        control.Move(spec.left, spec.top, spec.width, spec.height);
        return;
    }
    auto& line = static_cast<Line&>(control);
    line.SetX1(spec.x1);
    line.SetY1(spec.y1);
    line.SetX2(spec.x2);
    line.SetY2(spec.y2);
    if (spec.borderColor) {
        line.SetBorderColor(*spec.borderColor);
    }
    line.SetBorderWidth(spec.borderWidth);
}

void ApplyLook(Control& control, const ControlSpec& spec, const Font& panelFont) {
    control.SetFont(spec.font.value_or(panelFont));
    if (spec.foreColor) {
        control.SetForeColor(*spec.foreColor);
    }
    if (spec.backColor) {
        control.SetBackColor(*spec.backColor);
    }
    control.SetHelpContextId(spec.helpContextId);
    if (auto* captioned = dynamic_cast<CaptionedControl*>(&control)) {
        captioned->SetCaption(std::string(spec.caption));
    }
}

// The editors' own stored properties go through their by-name access, as the form would load them.
void ApplyStoredProperties(Control& control, const ControlSpec& spec, const Font& panelFont) {
    if (spec.kind == ControlKind::Tarvine) {
        Font captionFont = panelFont;
        captionFont.italic = true;
        control.Set("paramkey", std::string(spec.tarvine.paramKey));
        control.Set("parameter", std::int64_t{spec.tarvine.parameter});
        control.Set("caption", std::string(spec.caption));
        control.Set("captionfont", FontValue(captionFont));
        control.Set("font", FontValue(panelFont));
        control.Set("editorwidth", double{spec.tarvine.editorWidth});
    } else if (spec.kind == ControlKind::Sorvane) {
        if (!spec.sorvane.paramFieldKey.empty()) {
            control.Set("paramfieldkey", std::string(spec.sorvane.paramFieldKey));
        }
        if (spec.sorvane.parameter) {
            control.Set("parameter", std::int64_t{*spec.sorvane.parameter});
        }
        control.SetEnabled(true);
        if (spec.sorvane.orientation) {
            control.Set("orientation", std::int64_t{*spec.sorvane.orientation});
        }
        control.Set("fontsize", double{kRadioGroupFontSize});
    }
}

}  // namespace

void BuildForm(Form& form, std::span<const ControlSpec> design) {
    const Font& panelFont = form.Surface().GetFont();
    for (const ControlSpec& spec : design) {
        auto control = CreateControl(spec);
        if (!spec.container.empty()) {
            control->SetContainer(&form.Find(spec.container));
        }
        ApplyGeometry(*control, spec);
        ApplyLook(*control, spec, panelFont);
        ApplyStoredProperties(*control, spec, panelFont);
        form.Add(std::move(control));
    }
}

}  // namespace vor
