#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "vormotor/contracts/AppLock.h"
#include "vormotor/contracts/FieldObject.h"
#include "vormotor/contracts/ValueObject.h"
#include "vormotor/core/Event.h"

namespace vor {

// What the panel uses of the field radio group control.
class Sorvane {
public:
    virtual ~Sorvane() = default;

    // The number of the parameter that holds the edited field; empty when none is set.
    virtual std::optional<std::int32_t> ParamNumber() = 0;
    // The field the group edits.
    virtual std::shared_ptr<FieldObject> FieldObjRef() = 0;
    virtual void SetFieldValueRef(std::shared_ptr<ValueObject> value) = 0;
    virtual void SetLockRef(std::shared_ptr<AppLock> lock) = 0;

    // Raised after the user picked an option; the picked value is already in the field.
    virtual EventSource<>& Change() = 0;
};

}  // namespace vor
