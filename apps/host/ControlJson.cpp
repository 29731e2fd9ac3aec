#include "apps/host/ControlJson.h"

#include <cmath>
#include <string>

#include "vormotor/editors/SorvaneGroup.h"
#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/toolkit/CaptionedControl.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/Line.h"

namespace vor::host {

nlohmann::ordered_json Twips(float value) {
    // Far beyond any panel, a float is always whole and no longer fits an integer.
    if (std::nearbyint(value) == value && std::fabs(value) < 1.0e15f) {
        return static_cast<std::int64_t>(value);
    }
    return value;
}

nlohmann::ordered_json ControlJson(Control& control) {
    nlohmann::ordered_json json;
    json["name"] = control.Name();
    if (control.Index()) {
        json["index"] = *control.Index();
    }
    json["type"] = control.TypeName();
    if (auto* editor = dynamic_cast<editors::TarvineEditor*>(&control)) {
        json["caption"] = editor->Caption();
        json["text"] = editor->Text();
    } else if (auto* captioned = dynamic_cast<CaptionedControl*>(&control)) {
        json["caption"] = captioned->Caption();
    } else if (auto* combo = dynamic_cast<ComboBox*>(&control)) {
        json["text"] = combo->Text();
    }
    json["visible"] = control.Visible();
    if (const auto* line = dynamic_cast<const Line*>(&control)) {
        // A line has its end points instead of a box, and takes no input.
        json["x1"] = Twips(line->X1());
        json["y1"] = Twips(line->Y1());
        json["x2"] = Twips(line->X2());
        json["y2"] = Twips(line->Y2());
        json["borderColor"] = line->BorderColor();
        return json;
    }
    json["enabled"] = control.Enabled();
    json["effectiveEnabled"] = control.EffectiveEnabled();
    json["tabStop"] = control.TabStop();
    json["left"] = Twips(control.Left());
    json["top"] = Twips(control.Top());
    json["width"] = Twips(control.Width());
    json["height"] = Twips(control.Height());
    json["bold"] = control.FontBold();
    json["foreColor"] = control.ForeColor();
    // Lists and radio groups show their choices the same way.
    if (const auto* combo = dynamic_cast<const ComboBox*>(&control)) {
        auto items = nlohmann::ordered_json::array();
        for (const auto& item : combo->Items()) {
            items.push_back({{"text", item.text}, {"data", item.data}});
        }
        json["items"] = items;
        json["listIndex"] = combo->ListIndex();
    } else if (const auto* group = dynamic_cast<const editors::SorvaneGroup*>(&control)) {
        auto items = nlohmann::ordered_json::array();
        for (const auto& option : group->Options()) {
            items.push_back({{"text", option.text}, {"data", option.code}});
        }
        json["items"] = items;
        json["listIndex"] = group->Selected();
    }
    return json;
}

}  // namespace vor::host
