#pragma once

#include <cstdint>

namespace vor {

// The access level a user needs to edit one parameter.
class LockLevelObject {
public:
    virtual ~LockLevelObject() = default;

    virtual std::int32_t Level() = 0;
};

}  // namespace vor
