#pragma once

#include <memory>
#include <vector>

#include "vormotor/drivemodel/DriveBackEnd.h"
#include "vormotor/drivemodel/DriveWrite.h"
#include "vormotor/valuelib/ValueHost.h"

namespace vor::model {

// Every object of one drive model passes its calls through this host: it hands them to the
// model's back end, if it has one, and keeps the journal of what the drive's user wrote.
class ModelHost final : public valuelib::ValueHost {
public:
    explicit ModelHost(std::shared_ptr<DriveBackEnd> backEnd) : m_backEnd(std::move(backEnd)) {}

    void Enter(const valuelib::CallSite& site) override;
    bool EnterForObject(const valuelib::CallSite& site) override;
    // A write the back end refuses is neither applied nor journalled.
    void Written(const valuelib::CallSite& site, double value) override;
    void DriveEnabledWritten(bool enabled);

    // The latest writes: a drive that runs for days must not keep every one. Past kMaxWrites
    // the older half goes, so the journal always holds at least the latest kMaxWrites / 2.
    static constexpr std::size_t kMaxWrites = 20'000;
    const std::vector<DriveWrite>& Writes() const noexcept { return m_writes; }
    void ClearWrites() noexcept { m_writes.clear(); }

private:
    void Log(DriveWrite write);

    std::shared_ptr<DriveBackEnd> m_backEnd;
    std::vector<DriveWrite> m_writes;
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::ModelHost;
}  // namespace vor
