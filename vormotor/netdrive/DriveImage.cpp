#include "vormotor/netdrive/DriveImage.h"

#include <stdexcept>

#include "vormotor/core/Diagnostics.h"
#include "vormotor/core/Error.h"
#include "vormotor/netdrive/RegisterMap.h"

namespace vor::netdrive {
namespace {

// Visits every field and every value name of the description in order, numbering each kind
// across all parameters.
template <class FieldVisitor, class NameVisitor>
void WalkFields(const model::Profile& profile, FieldVisitor onField, NameVisitor onName) {
    std::size_t fieldIndex = 0;
    std::size_t nameIndex = 0;
    for (const auto& param : profile.parameters) {
        for (const auto& field : param.fields) {
            onField(param, field, fieldIndex++);
            for (const auto& name : field.values) {
                onName(param, field, name, nameIndex++);
            }
        }
    }
}

std::uint32_t GetUint32(const std::uint16_t* at) {
    return static_cast<std::uint32_t>(GetInt32(at));
}

void PutUint32(std::uint16_t* at, std::uint32_t value) {
    PutInt32(at, static_cast<std::int32_t>(value));
}

void CheckCount(std::size_t count, int max, const char* what) {
    if (count > static_cast<std::size_t>(max)) {
        throw std::length_error(std::string("too many ") + what + " for the register map");
    }
}

// Limits, writable, whole numbers and decimals are live: a drive may change them while it runs.
// Limits that are no limits (NaN, or crossed) are refused, and the old ones stay.
void FollowLiveDescription(valuelib::BasicValue& value, const DriveImage::Param& live) {
    ContentObject& content = value.Content();
    if (!(live.lowerLimit <= live.upperLimit)) {
        Diagnostics::Report("netdrive", "the drive serves no usable limits for " + value.Describe());
    } else if (content.LowerLimit() != live.lowerLimit || content.UpperLimit() != live.upperLimit) {
        content.SetLowerLimit(live.lowerLimit);
        content.SetUpperLimit(live.upperLimit);
    }
    if (content.SetupFlag() != live.writable) {
        content.SetSetupFlag(live.writable);
    }
    if ((value.SetupA() == 1) != live.whole) {
        value.SetSetupA(live.whole ? 1 : 0);
    }
    if (value.SetupB() != live.decimals) {
        value.SetSetupB(live.decimals);
    }
}

}  // namespace

DriveImage DriveImage::Capture(model::DriveModel& drive, const model::Profile& profile) {
    auto& node = *drive.Node();
    DriveImage image;
    image.online = node.DriveIsOnline();
    image.driveEnabled = node.DriveIsEnabled();
    image.nodeState = node.DriveNodeState();
    image.inputWord = drive.InputWord();
    image.accessLevel = drive.AccessLevel();
    image.commModeSelectable = drive.Network()->DriveCommModeSelectable();
    image.traceFlags = drive.TraceFlags();
    for (const auto& param : profile.parameters) {
        const auto value = node.DriveParam(param.number);
        image.params.push_back(Param{param.number, value->DriveNumber(), param.lowerLimit, param.upperLimit,
                                     value->DriveLockLevel(), param.writable, param.whole, param.decimals});
    }
    WalkFields(
        profile,
        [&](const model::Profile::Parameter& param, const model::Profile::Field& field, std::size_t) {
            image.fieldEditable.push_back(node.DriveParam(param.number)->FindField(field.name)->DriveEditable());
        },
        [&](const model::Profile::Parameter& param, const model::Profile::Field& field,
            const model::Profile::ValueName& name, std::size_t) {
            image.valueNameVisible.push_back(
                node.DriveParam(param.number)->FindField(field.name)->FindValueName(name.code)->IsVisible());
        });
    for (const auto& entry : node.DriveMotorTypes()) {
        image.motorTypeVisible.push_back(entry->IsVisible());
    }
    for (const auto& entry : node.DriveMicrosteps()) {
        image.microstepVisible.push_back(entry->IsVisible());
    }
    return image;
}

void DriveImage::Encode(std::uint16_t* inputs) const {
    CheckCount(params.size(), reg::param::kMaxCount, "parameters");
    CheckCount(fieldEditable.size(), reg::field::kMaxCount, "fields");
    CheckCount(valueNameVisible.size(), reg::visible::kMaxFlags, "value names");
    CheckCount(motorTypeVisible.size(), reg::visible::kMaxFlags, "motor types");
    CheckCount(microstepVisible.size(), reg::visible::kMaxFlags, "microstep choices");
    std::uint16_t* header = &inputs[reg::header::kAddress];
    header[reg::header::kVersion] = reg::kMapVersion;
    PutUint32(header + reg::header::kSession, session);
    header[reg::header::kParamCount] = static_cast<std::uint16_t>(params.size());
    header[reg::header::kFieldCount] = static_cast<std::uint16_t>(fieldEditable.size());
    header[reg::header::kValueNameCount] = static_cast<std::uint16_t>(valueNameVisible.size());
    header[reg::header::kMotorTypeCount] = static_cast<std::uint16_t>(motorTypeVisible.size());
    header[reg::header::kMicrostepCount] = static_cast<std::uint16_t>(microstepVisible.size());
    PutUint32(header + reg::header::kMicrostepGeneration, microstepGeneration);
    PutUint32(header + reg::header::kEventNext, eventNext);
    PutUint32(header + reg::header::kLastWriteId, lastWriteId);
    PutUint32(header + reg::header::kChangeCount, changeCount);

    std::uint16_t* nodeArea = &inputs[reg::node::kAddress];
    nodeArea[reg::node::kOnline] = online ? 1 : 0;
    nodeArea[reg::node::kDriveEnabled] = driveEnabled ? 1 : 0;
    PutInt32(nodeArea + reg::node::kNodeState, nodeState);
    PutInt32(nodeArea + reg::node::kInputWord, inputWord);
    PutInt32(nodeArea + reg::node::kAccessLevel, accessLevel);
    nodeArea[reg::node::kCommModeSelectable] = commModeSelectable ? 1 : 0;
    PutInt32(nodeArea + reg::node::kTraceFlags, traceFlags);

    for (std::size_t i = 0; i < params.size(); ++i) {
        const Param& param = params[i];
        std::uint16_t* slot = &inputs[reg::param::kAddress + i * reg::param::kSlotSize];
        PutDouble(slot + reg::param::kValue, param.value);
        PutDouble(slot + reg::param::kLowerLimit, param.lowerLimit);
        PutDouble(slot + reg::param::kUpperLimit, param.upperLimit);
        PutInt32(slot + reg::param::kNumber, param.number);
        PutInt32(slot + reg::param::kLockLevel, param.lockLevel);
        slot[reg::param::kFlags] = static_cast<std::uint16_t>((param.writable ? reg::param::kWritable : 0) |
                                                              (param.whole ? reg::param::kWhole : 0));
        slot[reg::param::kDecimals] = static_cast<std::uint16_t>(static_cast<std::int16_t>(param.decimals));
    }
    for (std::size_t i = 0; i < fieldEditable.size(); ++i) {
        inputs[reg::field::kAddress + i] = fieldEditable[i] ? 1 : 0;
    }
    PutFlags(&inputs[reg::visible::kValueNames], valueNameVisible);
    PutFlags(&inputs[reg::visible::kMotorTypes], motorTypeVisible);
    PutFlags(&inputs[reg::visible::kMicrosteps], microstepVisible);
}

DriveImage DriveImage::Read(const Reader& read) {
    const Registers head = read(reg::header::kAddress, reg::kHeadSize);
    DriveImage image = DecodeHead(head);
    image.ReadDetails(head, read);
    return image;
}

DriveImage DriveImage::DecodeHead(const Registers& head) {
    if (head.size() < static_cast<std::size_t>(reg::kHeadSize)) {
        throw std::runtime_error("the drive's header is incomplete");
    }
    const std::uint16_t* header = &head[reg::header::kAddress];
    if (header[reg::header::kVersion] != reg::kMapVersion) {
        throw std::runtime_error("the drive speaks register map " + std::to_string(header[reg::header::kVersion]) +
                                 ", not " + std::to_string(reg::kMapVersion));
    }
    DriveImage image;
    image.session = GetUint32(header + reg::header::kSession);
    image.microstepGeneration = GetUint32(header + reg::header::kMicrostepGeneration);
    image.eventNext = GetUint32(header + reg::header::kEventNext);
    image.lastWriteId = GetUint32(header + reg::header::kLastWriteId);
    image.changeCount = GetUint32(header + reg::header::kChangeCount);

    const std::uint16_t* nodeArea = &head[reg::node::kAddress];
    image.online = nodeArea[reg::node::kOnline] != 0;
    image.driveEnabled = nodeArea[reg::node::kDriveEnabled] != 0;
    image.nodeState = GetInt32(nodeArea + reg::node::kNodeState);
    image.inputWord = GetInt32(nodeArea + reg::node::kInputWord);
    image.accessLevel = GetInt32(nodeArea + reg::node::kAccessLevel);
    image.commModeSelectable = nodeArea[reg::node::kCommModeSelectable] != 0;
    image.traceFlags = GetInt32(nodeArea + reg::node::kTraceFlags);
    return image;
}

void DriveImage::ReadDetails(const Registers& head, const Reader& read) {
    const std::uint16_t* header = &head[reg::header::kAddress];
    // A drive that claims more than the map holds would have the reader walk off the map.
    const int paramCount = header[reg::header::kParamCount];
    CheckCount(static_cast<std::size_t>(paramCount), reg::param::kMaxCount, "parameters");
    CheckCount(header[reg::header::kFieldCount], reg::field::kMaxCount, "fields");
    for (const int count : {reg::header::kValueNameCount, reg::header::kMotorTypeCount, reg::header::kMicrostepCount}) {
        CheckCount(header[count], reg::visible::kMaxFlags, "flags");
    }
    const Registers paramArea = read(reg::param::kAddress, paramCount * reg::param::kSlotSize);
    params.clear();
    for (int i = 0; i < paramCount; ++i) {
        const std::uint16_t* slot = &paramArea[static_cast<std::size_t>(i * reg::param::kSlotSize)];
        params.push_back(Param{GetInt32(slot + reg::param::kNumber), GetDouble(slot + reg::param::kValue),
                               GetDouble(slot + reg::param::kLowerLimit), GetDouble(slot + reg::param::kUpperLimit),
                               GetInt32(slot + reg::param::kLockLevel),
                               (slot[reg::param::kFlags] & reg::param::kWritable) != 0,
                               (slot[reg::param::kFlags] & reg::param::kWhole) != 0,
                               static_cast<std::int16_t>(slot[reg::param::kDecimals])});
    }
    fieldEditable.clear();
    for (const std::uint16_t editable : read(reg::field::kAddress, header[reg::header::kFieldCount])) {
        fieldEditable.push_back((editable & 1u) != 0);
    }
    const auto readFlags = [&read](int address, std::size_t count) {
        const Registers area = read(address, static_cast<int>(FlagRegisters(count)));
        return GetFlags(area.data(), count);
    };
    valueNameVisible = readFlags(reg::visible::kValueNames, header[reg::header::kValueNameCount]);
    motorTypeVisible = readFlags(reg::visible::kMotorTypes, header[reg::header::kMotorTypeCount]);
    microstepVisible = readFlags(reg::visible::kMicrosteps, header[reg::header::kMicrostepCount]);
}

void DriveImage::ApplyTo(model::DriveModel& drive, const model::Profile& profile) const {
    if (params.size() != profile.parameters.size() || motorTypeVisible.size() != profile.motorTypes.size()) {
        throw std::runtime_error("the drive no longer matches its description");
    }
    drive.SetOnline(online);
    drive.SetDriveEnabled(driveEnabled);
    drive.SetNodeState(nodeState);
    drive.SetCommModeSelectable(commModeSelectable);
    drive.SetTraceFlags(traceFlags);
    drive.SetAccessLevel(accessLevel);

    for (std::size_t i = 0; i < params.size(); ++i) {
        drive.SetLockLevel(profile.parameters[i].number, params[i].lockLevel);
        FollowLiveDescription(*drive.Node()->DriveParam(profile.parameters[i].number), params[i]);
    }
    WalkFields(
        profile,
        [&](const model::Profile::Parameter& param, const model::Profile::Field& field, std::size_t index) {
            drive.SetFieldEditable(param.number, field.name, fieldEditable.at(index));
        },
        [&](const model::Profile::Parameter& param, const model::Profile::Field& field,
            const model::Profile::ValueName& name, std::size_t index) {
            drive.SetValueNameVisible(param.number, field.name, name.code, valueNameVisible.at(index));
        });
    for (std::size_t i = 0; i < params.size(); ++i) {
        try {
            drive.SetParam(profile.parameters[i].number, params[i].value);
        } catch (const Error& refused) {
            // A number its own limits refuse (or NaN) is the drive's fault, not the link's:
            // the copy keeps the number it had, and the rest of the drive still follows.
            Diagnostics::Report("netdrive", refused);
        }
    }
    for (std::size_t i = 0; i < motorTypeVisible.size(); ++i) {
        drive.SetMotorTypeVisible(profile.motorTypes[i].code, motorTypeVisible[i]);
    }
    const auto& microsteps = drive.Node()->DriveMicrosteps();
    for (std::size_t i = 0; i < microsteps.size() && i < microstepVisible.size(); ++i) {
        microsteps[i]->DriveSetVisible(microstepVisible[i]);
    }
    drive.SetInputWord(inputWord);
}

}  // namespace vor::netdrive
