#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "vormotor/contracts/ContentObject.h"
#include "vormotor/contracts/Dictionary.h"
#include "vormotor/contracts/FieldObject.h"
#include "vormotor/contracts/LockLevelObject.h"
#include "vormotor/core/Event.h"

namespace vor {

// One drive parameter (or a value the panel owns), as the value library presents it.
class ValueObject {
public:
    virtual ~ValueObject() = default;

    virtual Dictionary<std::string, std::shared_ptr<FieldObject>>& Fields() = 0;
    virtual void AddField(const std::string& name, std::int32_t firstBit, std::int32_t width,
                          const std::string& text) = 0;
    virtual void Refresh() = 0;
    // From now on ContentChanged follows the drive.
    virtual void StartUpdates() = 0;
    virtual ContentObject& Content() = 0;
    virtual ContentObject& Info() = 0;
    virtual LockLevelObject& LockLevel() = 0;
    virtual std::int32_t SetupA() = 0;
    virtual void SetSetupA(std::int32_t setting) = 0;
    virtual std::int32_t SetupB() = 0;
    virtual void SetSetupB(std::int32_t setting) = 0;
    virtual std::int32_t SetupC() = 0;
    virtual void SetSetupC(std::int32_t setting) = 0;

    // Both carry the new number.
    virtual EventSource<double>& ContentChanged() = 0;
    virtual EventSource<double>& Changed() = 0;
};

}  // namespace vor
