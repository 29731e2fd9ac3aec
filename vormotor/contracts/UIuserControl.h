#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "vormotor/contracts/DriveNetwork.h"
#include "vormotor/contracts/DriveNode.h"

namespace vor {

// The host interface of the set-up application's pages.
class UIuserControl {
public:
    virtual ~UIuserControl() = default;

    // theAppObj is the host's application object; a page may ignore it.
    virtual void AttachControl(const std::shared_ptr<DriveNetwork>& theNet, const std::shared_ptr<DriveNode>& theNode,
                               const std::shared_ptr<void>& theAppObj, std::string regName, std::string regSect) = 0;
    virtual void ReleaseControl() = 0;
    virtual std::string VersionStr() = 0;
    // The page's bar colour, 0x00BBGGRR.
    virtual std::uint32_t BarColor() = 0;
};

}  // namespace vor
