#pragma once

namespace vor {

// The node's status register. The panel holds it for the lifetime of an attach and calls
// nothing on it.
class StatusRegister {
public:
    virtual ~StatusRegister() = default;
};

}  // namespace vor
