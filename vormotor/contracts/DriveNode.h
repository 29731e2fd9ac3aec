#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/contracts/AppLock.h"
#include "vormotor/contracts/Dictionary.h"
#include "vormotor/contracts/Entry.h"
#include "vormotor/contracts/IoObject.h"
#include "vormotor/contracts/StatusRegister.h"
#include "vormotor/contracts/ValueObject.h"

namespace vor {

// One drive on the network.
class DriveNode {
public:
    virtual ~DriveNode() = default;

    virtual bool HasParam(std::int32_t number) = 0;
    // Raises an error for a parameter the node does not have.
    virtual std::shared_ptr<ValueObject> Param(std::int32_t number) = 0;
    virtual Dictionary<std::int32_t, std::shared_ptr<ValueObject>>& ParamTable() = 0;
    virtual std::shared_ptr<StatusRegister> StatusReg() = 0;
    virtual std::shared_ptr<AppLock> AccessLock() = 0;
    virtual std::shared_ptr<IoObject> IoObj() = 0;
    virtual std::vector<std::shared_ptr<Entry>> MotorTypes() = 0;
    virtual std::vector<std::shared_ptr<Entry>> MicrostepChoices() = 0;
    virtual bool IsOnline() = 0;
    virtual bool DriveEnabled() = 0;
    virtual void SetDriveEnabled(bool enabled) = 0;
    virtual std::int32_t NodeState() = 0;
    // Fills in the node-specific words of a text (such as the "@*@" placeholder).
    virtual std::string ExpandText(const std::string& text) = 0;
};

}  // namespace vor
