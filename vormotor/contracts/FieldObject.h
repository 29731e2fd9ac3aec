#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "vormotor/contracts/Dictionary.h"
#include "vormotor/contracts/Entry.h"
#include "vormotor/core/Event.h"

namespace vor {

// A bit field of a value object, with its table of named values.
class FieldObject {
public:
    virtual ~FieldObject() = default;

    virtual std::int32_t Value() = 0;
    virtual void SetValue(std::int32_t value) = 0;
    // The name of the entry for the current value, or the value itself when no entry has it.
    virtual std::string ValueText() = 0;
    virtual bool Editable() = 0;
    virtual void Refresh() = 0;
    virtual Dictionary<std::int32_t, std::shared_ptr<Entry>>& ValueNames() = 0;
    virtual void AddValueName(std::int32_t value, const std::string& text) = 0;

    // Raised when the field's value changes; the argument is the field itself.
    virtual EventSource<FieldObject&>& UpdateView() = 0;
};

}  // namespace vor
