#pragma once

#include <memory>

#include "vormotor/contracts/AppEvents.h"
#include "vormotor/contracts/AppLock.h"
#include "vormotor/contracts/DriveEvents.h"
#include "vormotor/contracts/TraceSink.h"

namespace vor {

class DriveNetwork {
public:
    virtual ~DriveNetwork() = default;

    // Qualified names: the accessors share their names with the types they return.
    virtual std::shared_ptr<vor::AppEvents> AppEvents() = 0;
    virtual std::shared_ptr<vor::DriveEvents> DriveEvents() = 0;
    virtual std::shared_ptr<AppLock> AccessLock() = 0;
    // Whether the commutation option is chosen from a list (true) or only shown (false).
    virtual bool CommModeSelectable() = 0;
    virtual std::shared_ptr<vor::TraceSink> TraceSink() = 0;
};

}  // namespace vor
