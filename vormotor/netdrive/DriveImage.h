#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "vormotor/drivemodel/DriveModel.h"
#include "vormotor/drivemodel/Profile.h"
#include "vormotor/netdrive/Registers.h"

namespace vor::netdrive {

// Everything about a drive that can change while it runs, as its registers carry it. The
// server captures it from its drive and encodes it; the network library decodes it and brings
// its own copy of the drive up to it, which raises the events a change on the drive raises.
// Fields and value names are counted in the order of the drive's description (its profile).
struct DriveImage {
    struct Param {
        std::int32_t number = 0;
        double value = 0;
        double lowerLimit = 0;
        double upperLimit = 0;
        std::int32_t lockLevel = 0;
        bool writable = false;
        bool whole = false;
        std::int32_t decimals = -1;

        friend bool operator==(const Param&, const Param&) = default;
    };

    std::uint32_t session = 0;
    std::uint32_t microstepGeneration = 0;
    std::uint32_t eventNext = 0;
    std::uint32_t lastWriteId = 0;
    std::uint32_t changeCount = 0;
    bool online = false;
    bool driveEnabled = false;
    std::int32_t nodeState = 0;
    std::int32_t inputWord = 0;
    std::int32_t accessLevel = 0;
    bool commModeSelectable = false;
    std::int32_t traceFlags = 0;
    std::vector<Param> params;
    std::vector<bool> fieldEditable;
    std::vector<bool> valueNameVisible;
    std::vector<bool> motorTypeVisible;
    std::vector<bool> microstepVisible;

    // Reads `count` input registers from `address`; throws when the link fails.
    using Reader = std::function<Registers(int address, int count)>;

    static DriveImage Capture(model::DriveModel& drive, const model::Profile& profile);
    // Header, node, parameters, fields and flags; texts and events have their own writers.
    // `inputs` holds reg::kInputRegisters registers.
    void Encode(std::uint16_t* inputs) const;
    static DriveImage Read(const Reader& read);
    // The same in two steps: the header and the node from their reg::kHeadSize registers, which
    // tell whether anything changed, then the rest.
    static DriveImage DecodeHead(const Registers& head);
    void ReadDetails(const Registers& head, const Reader& read);
    // Raises the events of every difference, parameter by parameter, the inputs last.
    void ApplyTo(model::DriveModel& drive, const model::Profile& profile) const;

    friend bool operator==(const DriveImage&, const DriveImage&) = default;
};

}  // namespace vor::netdrive
