#pragma once

#include <memory>

#include "vormotor/contracts/AppEvents.h"
#include "vormotor/core/Event.h"
#include "vormotor/drivemodel/ModelHost.h"

namespace vor::model {

// The application's event source as the drive model's host application raises it.
class ModelAppEvents final : public AppEvents {
public:
    ModelAppEvents(std::shared_ptr<ModelHost> host, bool techSupport)
        : m_host(std::move(host)), m_techSupport(techSupport) {}

    bool TechSupport() override {
        m_host->Enter(valuelib::CallSite{"AppEvents.TechSupport"});
        return m_techSupport;
    }
    EventSource<bool>& MotorPageEnableChanged() override { return m_motorPageEnableChanged; }
    EventSource<bool>& TechSupportChanged() override { return m_techSupportChanged; }
    EventSource<>& TimerTick() override { return m_timerTick; }

    // The application's side.
    void SetTechSupport(bool techSupport) {
        if (techSupport != m_techSupport) {
            m_techSupport = techSupport;
            m_techSupportChanged.Raise(techSupport);
        }
    }
    void RaiseMotorPageEnableChanged(bool enabled) const { m_motorPageEnableChanged.Raise(enabled); }
    // Sets the flag and raises the event even when the flag already had that value.
    void RaiseTechSupportChanged(bool techSupport) {
        m_techSupport = techSupport;
        m_techSupportChanged.Raise(techSupport);
    }
    void RaiseTimerTick() const { m_timerTick.Raise(); }

private:
    std::shared_ptr<ModelHost> m_host;
    bool m_techSupport;
    Event<bool> m_motorPageEnableChanged;
    Event<bool> m_techSupportChanged;
    Event<> m_timerTick;
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::ModelAppEvents;
}  // namespace vor
