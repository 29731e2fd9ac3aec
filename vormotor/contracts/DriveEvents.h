#pragma once

namespace vor {

// The drive network's event source for drive-level events. The panel holds it for the lifetime
// of an attach and handles none of its events.
class DriveEvents {
public:
    virtual ~DriveEvents() = default;
};

}  // namespace vor
