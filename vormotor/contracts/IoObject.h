#pragma once

#include <cstdint>
#include <memory>

#include "vormotor/contracts/ValueObject.h"
#include "vormotor/core/Event.h"

namespace vor {

// The node's digital I/O.
class IoObject {
public:
    virtual ~IoObject() = default;

    // The node's input word; the commutation sensor code is in bits 7 to 9.
    virtual std::shared_ptr<ValueObject> InputsValue() = 0;

    // Raised when the commutation sensor code changes: (thisCode, lastCode).
    virtual EventSource<std::int32_t, std::int32_t>& CommutationChanged() = 0;
};

}  // namespace vor
