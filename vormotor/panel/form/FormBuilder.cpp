#include "vormotor/panel/form/FormBuilder.h"

#include <memory>
#include <string>

#include "vormotor/core/Error.h"
#include "vormotor/toolkit/CaptionedControl.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/ControlClasses.h"
#include "vormotor/toolkit/FontObject.h"
#include "vormotor/toolkit/Frame.h"
#include "vormotor/toolkit/Label.h"
#include "vormotor/toolkit/Line.h"

namespace vor {
namespace {

constexpr float kRadioGroupFontSize = 8.25f;

std::unique_ptr<Control> CreateControl(const ControlDesign& row) {
    std::string name(row.name);
    switch (row.kind) {
        case ControlKind::Frame:
            return std::make_unique<Frame>(std::move(name), row.index);
        case ControlKind::Label:
            return std::make_unique<Label>(std::move(name), row.index);
        case ControlKind::ComboBox:
            return std::make_unique<ComboBox>(std::move(name), row.index);
        case ControlKind::Line:
            return std::make_unique<Line>(std::move(name), row.index);
        case ControlKind::Tarvine:
            return ControlClasses::Create(kTarvineClass, std::move(name), row.index);
        case ControlKind::Sorvane:
            return ControlClasses::Create(kSorvaneClass, std::move(name), row.index);
    }
    throw Error(error_number::InvalidPropertyValue, "FormBuilder", "Unknown control kind for " + name);
}

std::shared_ptr<Dispatch> FontValue(Font font) {
    return std::make_shared<FontObject>(std::move(font));
}

void ApplyGeometry(Control& control, const ControlDesign& row) {
    if (row.kind != ControlKind::Line) {
        control.Move(row.left, row.top, row.width, row.height);
        return;
    }
    auto& line = static_cast<Line&>(control);
    line.SetX1(row.x1);
    line.SetY1(row.y1);
    line.SetX2(row.x2);
    line.SetY2(row.y2);
    if (row.borderColor) {
        line.SetBorderColor(*row.borderColor);
    }
    line.SetBorderWidth(row.borderWidth);
}

void ApplyLook(Control& control, const ControlDesign& row, const Font& panelFont) {
    control.SetFont(row.font.value_or(panelFont));
    if (row.foreColor) {
        control.SetForeColor(*row.foreColor);
    }
    if (row.backColor) {
        control.SetBackColor(*row.backColor);
    }
    control.SetHelpContextId(row.helpContextId);
    if (auto* captioned = dynamic_cast<CaptionedControl*>(&control)) {
        captioned->SetCaption(std::string(row.caption));
    }
}

// The editors' own stored properties go through their by-name access, as the form would load them.
void ApplyStoredProperties(Control& control, const ControlDesign& row, const Font& panelFont) {
    if (row.kind == ControlKind::Tarvine) {
        Font captionFont = panelFont;
        captionFont.italic = true;
        control.Set("paramkey", std::string(row.tarvine.paramKey));
        control.Set("parameter", std::int64_t{row.tarvine.parameter});
        control.Set("caption", std::string(row.caption));
        control.Set("captionfont", FontValue(captionFont));
        control.Set("font", FontValue(panelFont));
        control.Set("editorwidth", double{row.tarvine.editorWidth});
    } else if (row.kind == ControlKind::Sorvane) {
        if (!row.sorvane.paramFieldKey.empty()) {
            control.Set("paramfieldkey", std::string(row.sorvane.paramFieldKey));
        }
        if (row.sorvane.parameter) {
            control.Set("parameter", std::int64_t{*row.sorvane.parameter});
        }
        control.SetEnabled(true);
        if (row.sorvane.orientation) {
            control.Set("orientation", std::int64_t{*row.sorvane.orientation});
        }
        control.Set("fontsize", double{kRadioGroupFontSize});
    }
}

}  // namespace

void BuildForm(Form& form, std::span<const ControlDesign> design) {
    const Font& panelFont = form.Surface().GetFont();
    for (const ControlDesign& row : design) {
        auto control = CreateControl(row);
        if (!row.container.empty()) {
            control->SetContainer(&form.Find(row.container));
        }
        ApplyGeometry(*control, row);
        ApplyLook(*control, row, panelFont);
        ApplyStoredProperties(*control, row, panelFont);
        form.Add(std::move(control));
    }
}

}  // namespace vor
