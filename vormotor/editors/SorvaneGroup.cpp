#include "vormotor/editors/SorvaneGroup.h"

#include <array>
#include <utility>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"
#include "vormotor/core/FailureStyles.h"
#include "vormotor/editors/EditorSupport.h"

namespace vor::editors {
namespace {

SorvaneGroup& AsSorvane(Control& control) {
    return static_cast<SorvaneGroup&>(control);
}

}  // namespace

SorvaneGroup::SorvaneGroup(std::string name, std::optional<std::int32_t> index)
    : Control(std::move(name), index),
      m_field(HandleEvent(&FieldObject::UpdateView, [this](FieldObject&) { ShowField(); })) {}

void SorvaneGroup::SetFieldValueRef(std::shared_ptr<ValueObject> value) {
    // The field is looked up first, so a value without it leaves the group as it was.
    std::shared_ptr<FieldObject> field = value ? value->Fields().Item(m_fieldKey) : nullptr;
    m_value = std::move(value);
    m_field = std::move(field);
    ShowField();
}

void SorvaneGroup::SetParamNumber(std::optional<std::int32_t> parameter) {
    Assign(m_parameter, parameter, "parameter");
}

void SorvaneGroup::SetFieldKey(std::string key) {
    Assign(m_fieldKey, std::move(key), "paramfieldkey");
}

void SorvaneGroup::SetOrientation(std::int32_t orientation) {
    Assign(m_orientation, orientation, "orientation");
}

bool SorvaneGroup::UserPick(std::int32_t index) {
    EditorSupport::CheckReachable(*this);
    if (index < 0 || index >= static_cast<std::int32_t>(m_options.size())) {
        throw Error(error_number::InvalidPropertyValue, TypeName(),
                    "Invalid option " + DecimalText(index) + " for " + Name());
    }
    std::string problem = LockProblem();
    if (problem.empty()) {
        try {
            m_field->SetValue(m_options[static_cast<std::size_t>(index)].code);
        } catch (const Error& error) {
            problem = error.Description();
        }
    }
    SetMessage(problem);
    if (!problem.empty()) {
        return false;
    }
    m_change.Raise();
    return true;
}

std::string SorvaneGroup::LockProblem() const {
    if (!m_lock) {
        return {};
    }
    const std::int32_t level = m_lock->Level();
    const std::int32_t needed = m_value->LockLevel().Level();
    return level >= needed ? std::string()
                           : "Access level " + DecimalText(level) + " is below the level " + DecimalText(needed) +
                                 " needed to change this setting.";
}

void SorvaneGroup::ShowField() {
    // The options are read into the room of the last reading, which mostly reads the same.
    std::vector<Option>& options = m_reading;
    options.clear();
    std::int32_t selected = -1;
    if (m_field) {
        // A field that cannot be read leaves the group showing what it showed before.
        const bool read = SkipOnFailure([&] {
            const std::int32_t value = m_field->Value();
            const auto entries = m_field->ValueNames().Items();
            options.reserve(entries.size());
            for (const auto& entry : entries) {
                if (!entry->Visible()) {
                    continue;
                }
                if (entry->Code() == value) {
                    selected = static_cast<std::int32_t>(options.size());
                }
                // Braces read the code before the name, the order in which the drive sees the calls.
                options.push_back(Option{entry->Code(), entry->Name()});
            }
        });
        if (!read) {
            return;
        }
    }
    if (options != m_options) {
        m_options.swap(options);
        Notify("Options");
    }
    Assign(m_selected, selected, "Selected");
}

void SorvaneGroup::SetMessage(std::string message) {
    Assign(m_message, std::move(message), "Message");
}

const Control::Property* SorvaneGroup::FindProperty(std::string_view name) const {
    static constexpr std::array<Property, 6> kProperties{{
        {"paramfieldkey", [](Control& c) -> Variant { return AsSorvane(c).FieldKey(); },
         [](Control& c, const Variant& v) { AsSorvane(c).SetFieldKey(VariantToText(v)); }},
        {"parameter",
         [](Control& c) -> Variant { return EditorSupport::ParameterToVariant(AsSorvane(c).ParamNumber()); },
         [](Control& c, const Variant& v) { AsSorvane(c).SetParamNumber(EditorSupport::ParameterFromVariant(v)); }},
        {"enabled", [](Control& c) -> Variant { return c.Enabled(); },
         [](Control& c, const Variant& v) { c.SetEnabled(VariantToBool(v)); }},
        {"orientation", [](Control& c) -> Variant { return std::int64_t{AsSorvane(c).Orientation()}; },
         [](Control& c, const Variant& v) {
             AsSorvane(c).SetOrientation(static_cast<std::int32_t>(VariantToInteger(v)));
         }},
        {"fontsize", [](Control& c) -> Variant { return double{c.GetFont().size}; },
         [](Control& c, const Variant& v) {
             Font font = c.GetFont();
             font.size = VariantToSingle(v);
             c.SetFont(font);
         }},
        {"Selected", [](Control& c) -> Variant { return std::int64_t{AsSorvane(c).Selected()}; }, nullptr},
    }};
    const Property* own = FindIn(kProperties, name);
    return own != nullptr ? own : Control::FindProperty(name);
}

}  // namespace vor::editors
