#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vormotor/contracts/AppLock.h"
#include "vormotor/contracts/FieldObject.h"
#include "vormotor/contracts/Sorvane.h"
#include "vormotor/contracts/ValueObject.h"
#include "vormotor/core/Event.h"
#include "vormotor/core/WithEvents.h"
#include "vormotor/toolkit/Control.h"

namespace vor::editors {

// The field radio group: one option button per visible value name of a field, the button of
// the field's value selected. The group follows the field's UpdateView. A pick by the user
// writes the field and then raises Change; the group's own refreshes never raise it.
class SorvaneGroup final : public Control, public Sorvane {
public:
    struct Option {
        std::int32_t code;
        std::string text;

        bool operator==(const Option&) const = default;
    };

    SorvaneGroup(std::string name, std::optional<std::int32_t> index);

    std::string TypeName() const override { return "Sorvane"; }

    std::optional<std::int32_t> ParamNumber() override { return m_parameter; }
    std::shared_ptr<FieldObject> FieldObjRef() override { return m_field.Get(); }
    // Binds to the field named by the stored field key (the empty name when there is none).
    void SetFieldValueRef(std::shared_ptr<ValueObject> value) override;
    void SetLockRef(std::shared_ptr<AppLock> lock) override { m_lock = std::move(lock); }
    EventSource<>& Change() override { return m_change; }

    // Stored design properties.
    void SetParamNumber(std::optional<std::int32_t> parameter);
    const std::string& FieldKey() const noexcept { return m_fieldKey; }
    void SetFieldKey(std::string key);
    std::int32_t Orientation() const noexcept { return m_orientation; }
    void SetOrientation(std::int32_t orientation);

    // What the group shows.
    const std::vector<Option>& Options() const noexcept { return m_options; }
    // -1 when the field's value has no visible option.
    std::int32_t Selected() const noexcept { return m_selected; }
    // Why the last pick was refused; empty after an accepted one.
    const std::string& Message() const noexcept { return m_message; }

    // The user clicked option `index`. Returns whether the field was written.
    bool UserPick(std::int32_t index);

protected:
    const Property* FindProperty(std::string_view name) const override;

private:
    void ShowField();
    void SetMessage(std::string message);
    // Empty when the lock allows editing the bound value.
    std::string LockProblem() const;

    // Binding.
    std::optional<std::int32_t> m_parameter;
    std::string m_fieldKey;
    std::shared_ptr<ValueObject> m_value;  // keeps the field's value alive
    WithEvents<FieldObject> m_field;
    std::shared_ptr<AppLock> m_lock;

    // Stored design property.
    std::int32_t m_orientation = 0;

    // Shown.
    std::vector<Option> m_options;
    std::vector<Option> m_reading;  // ShowField's room, kept between readings
    std::int32_t m_selected = -1;
    std::string m_message;
    Event<> m_change;
};

}  // namespace vor::editors

// The names above as hosts know them, in vor.
namespace vor {
using editors::SorvaneGroup;
}  // namespace vor
