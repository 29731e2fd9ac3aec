#pragma once

#include <cstdint>
#include <memory>

#include "vormotor/contracts/DriveNetwork.h"
#include "vormotor/drivemodel/ModelAppEvents.h"
#include "vormotor/drivemodel/ModelHost.h"
#include "vormotor/drivemodel/ModelLock.h"
#include "vormotor/drivemodel/ModelTraceSink.h"

namespace vor::model {

// The drive model's network: the application's events, its access lock and trace sink.
class ModelNetwork final : public DriveNetwork {
public:
    ModelNetwork(std::shared_ptr<ModelHost> host, std::shared_ptr<ModelAppEvents> appEvents,
                 std::shared_ptr<ModelLock> lock, std::shared_ptr<ModelTraceSink> traceSink, bool commModeSelectable)
        : m_host(std::move(host)),
          m_appEvents(std::move(appEvents)),
          m_lock(std::move(lock)),
          m_traceSink(std::move(traceSink)),
          m_commModeSelectable(commModeSelectable) {}

    std::shared_ptr<vor::AppEvents> AppEvents() override {
        if (EnterForObject("Network.AppEvents")) {
            return nullptr;
        }
        return m_appEvents;
    }
    std::shared_ptr<vor::DriveEvents> DriveEvents() override {
        if (EnterForObject("Network.DriveEvents")) {
            return nullptr;
        }
        return m_driveEvents;
    }
    std::shared_ptr<AppLock> AccessLock() override {
        if (EnterForObject("Network.AccessLock")) {
            return nullptr;
        }
        return m_lock;
    }
    bool CommModeSelectable() override {
        Enter("Network.CommModeSelectable");
        return m_commModeSelectable;
    }
    std::shared_ptr<vor::TraceSink> TraceSink() override {
        if (EnterForObject("Network.TraceSink")) {
            return nullptr;
        }
        return m_traceSink;
    }

    void DriveSetCommModeSelectable(bool selectable) noexcept { m_commModeSelectable = selectable; }
    bool DriveCommModeSelectable() const noexcept { return m_commModeSelectable; }

private:
    void Enter(valuelib::OperationId operation) const { m_host->Enter(valuelib::CallSite{operation}); }
    bool EnterForObject(valuelib::OperationId operation) const {
        return m_host->EnterForObject(valuelib::CallSite{operation});
    }

    std::shared_ptr<ModelHost> m_host;
    std::shared_ptr<ModelAppEvents> m_appEvents;
    std::shared_ptr<vor::DriveEvents> m_driveEvents = std::make_shared<vor::DriveEvents>();
    std::shared_ptr<ModelLock> m_lock;
    std::shared_ptr<ModelTraceSink> m_traceSink;
    bool m_commModeSelectable;
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::ModelNetwork;
}  // namespace vor
