#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "vormotor/contracts/ValueObject.h"

namespace vor {

// What the panel uses of the parameter editor control.
class Tarvine {
public:
    virtual ~Tarvine() = default;

    // The number of the parameter the editor edits; empty when none is set.
    virtual std::optional<std::int32_t> Parameter() = 0;
    virtual std::shared_ptr<ValueObject> ValueObjRef() = 0;
    virtual void SetValueObjRef(std::shared_ptr<ValueObject> value) = 0;
};

}  // namespace vor
