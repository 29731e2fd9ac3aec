#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vormotor/contracts/DriveNetwork.h"
#include "vormotor/contracts/DriveNode.h"
#include "vormotor/drivemodel/DriveBackEnd.h"
#include "vormotor/drivemodel/DriveModel.h"

namespace vor::bench {

// One call the panel made into the drive, as the drive saw it.
struct DriveCall {
    valuelib::OperationId operation;
    std::optional<std::int32_t> param;
    std::string field;
};

// Lists the calls a drive receives while it records: what a path of the panel must ask the drive,
// which is the floor the path is measured against. It is the back end of the drive it listens to.
class DriveCallRecorder final : public model::DriveBackEnd {
public:
    template <class Path>
    std::vector<DriveCall> Record(Path&& path) {
        m_recording = true;
        path();
        m_recording = false;
        return std::exchange(m_calls, {});
    }

    void Enter(const valuelib::CallSite& site) override {
        if (m_recording) {
            m_calls.push_back({site.operation, site.param, std::string(site.field)});
        }
    }
    void Written(const valuelib::CallSite&, double) override {}

private:
    bool m_recording = false;
    std::vector<DriveCall> m_calls;
};

// The recorded calls made directly on another drive of the same profile, one after the other,
// with every object they are made on looked up beforehand. Throws std::invalid_argument for an
// operation it has no direct call for, so that a path that starts asking something new cannot
// leave its floor behind unnoticed.
class DirectDriveCalls {
public:
    DirectDriveCalls(model::DriveModel& drive, const std::vector<DriveCall>& calls);
    void Run() const {
        for (const auto& [objects, call] : m_calls) {
            call(*objects);
        }
    }
    std::size_t Count() const noexcept { return m_calls.size(); }

    // The objects one call is made on.
    struct Objects {
        std::shared_ptr<DriveNetwork> network;
        std::shared_ptr<DriveNode> node;
        std::shared_ptr<AppEvents> appEvents;
        std::shared_ptr<AppLock> lock;
        std::shared_ptr<TraceSink> sink;
        std::shared_ptr<IoObject> io;
        Dictionary<std::int32_t, std::shared_ptr<ValueObject>>* paramTable = nullptr;
        std::string text;
        std::int32_t param = 0;
        std::shared_ptr<ValueObject> value;
        ContentObject* content = nullptr;
        ContentObject* info = nullptr;
        LockLevelObject* lockLevel = nullptr;
        Dictionary<std::string, std::shared_ptr<FieldObject>>* fields = nullptr;
        std::string fieldKey;
        std::shared_ptr<FieldObject> field;
        Dictionary<std::int32_t, std::shared_ptr<Entry>>* valueNames = nullptr;
        std::int32_t valueNameKey = 0;
        std::shared_ptr<Entry> entry;
    };
    using Call = void (*)(const Objects&);

private:
    // One set of objects per parameter and field, so that the calls stay as small and as close
    // together as the panel's own.
    std::map<std::pair<std::optional<std::int32_t>, std::string>, std::unique_ptr<Objects>> m_objects;
    std::vector<std::pair<const Objects*, Call>> m_calls;
};

}  // namespace vor::bench
