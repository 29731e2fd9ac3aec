#pragma once

#include <cstdint>
#include <memory>

#include "vormotor/contracts/AppLock.h"
#include "vormotor/core/Event.h"
#include "vormotor/drivemodel/ModelHost.h"

namespace vor::model {

// The application's access lock; Changed follows every real change of the level.
class ModelLock final : public AppLock {
public:
    ModelLock(std::shared_ptr<ModelHost> host, std::int32_t level) : m_host(std::move(host)), m_level(level) {}

    std::int32_t Level() override {
        m_host->Enter(valuelib::CallSite{"Lock.Level"});
        return m_level;
    }
    EventSource<>& Changed() override { return m_changed; }

    void SetLevel(std::int32_t level) {
        if (level != m_level) {
            m_level = level;
            m_changed.Raise();
        }
    }
    std::int32_t CurrentLevel() const noexcept { return m_level; }

private:
    std::shared_ptr<ModelHost> m_host;
    std::int32_t m_level;
    Event<> m_changed;
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::ModelLock;
}  // namespace vor
