#pragma once

#include <cstdint>

namespace vor::netdrive {

// Where a drive's object model lies in Modbus registers (docs/link.md has the full map). Every
// drive reads as input registers (function 4) and takes writes as one write-multiple-registers
// request (function 16) to the holding registers. Numbers are big-endian: a 32-bit integer in two
// registers, a double (IEEE 754) in four, the most significant register first.
namespace reg {

constexpr int kMapVersion = 1;
// A read or a write moves at most this many registers.
constexpr int kMaxPerRequest = 125;

// Header, at input register 0.
namespace header {
constexpr int kAddress = 0;
constexpr int kSize = 16;
constexpr int kVersion = 0;
constexpr int kSession = 1;  // 32 bits: new on every start of the server
constexpr int kParamCount = 3;
constexpr int kFieldCount = 4;
constexpr int kValueNameCount = 5;
constexpr int kMotorTypeCount = 6;
constexpr int kMicrostepCount = 7;
constexpr int kMicrostepGeneration = 8;  // 32 bits: counts replacements of the microstep catalogue
constexpr int kEventNext = 10;           // 32 bits: number of the next event to be raised
constexpr int kLastWriteId = 12;         // 32 bits: id of the last write request applied
// 32 bits: changes whenever anything the registers show changes; 0: the drive keeps no count.
constexpr int kChangeCount = 14;
}  // namespace header

// The header and the node together, which one request reads.
constexpr int kHeadSize = 32;

// The node and the network, at input register 16.
namespace node {
constexpr int kAddress = 16;
constexpr int kSize = 16;
constexpr int kOnline = 0;
constexpr int kDriveEnabled = 1;
constexpr int kNodeState = 2;    // 32 bits
constexpr int kInputWord = 4;    // 32 bits
constexpr int kAccessLevel = 6;  // 32 bits
constexpr int kCommModeSelectable = 8;
constexpr int kTraceFlags = 9;  // 32 bits
}  // namespace node

// One slot per parameter, in the order of the description, from input register 0x0100.
namespace param {
constexpr int kAddress = 0x0100;
constexpr int kSlotSize = 20;
constexpr int kMaxCount = 180;
constexpr int kValue = 0;       // double
constexpr int kLowerLimit = 4;  // double
constexpr int kUpperLimit = 8;  // double
constexpr int kNumber = 12;     // 32 bits: the parameter number
constexpr int kLockLevel = 14;  // 32 bits
constexpr int kFlags = 16;      // bit 0 writable, bit 1 whole numbers only
constexpr int kDecimals = 17;   // signed 16 bits; below 0: as many as the number needs
constexpr int kWritable = 1;
constexpr int kWhole = 2;
}  // namespace param

// One register per bit field (bit 0: editable), fields numbered through all parameters in the
// order of the description.
namespace field {
constexpr int kAddress = 0x1000;
constexpr int kMaxCount = 0x0800;
}  // namespace field

// Visible flags, 16 to a register, least significant bit first: the value names of all fields
// in the order of the description, the motor-type catalogue, the microstep catalogue.
namespace visible {
constexpr int kValueNames = 0x1800;
constexpr int kMotorTypes = 0x1C00;
constexpr int kMicrosteps = 0x1D00;
constexpr int kMaxFlags = 0x100 * 16;
}  // namespace visible

// The last 64 events the drive raised that no state change explains, a ring of 8-register
// slots; event n lies in slot n % 64.
namespace event {
constexpr int kAddress = 0x2000;
constexpr int kSlots = 64;
constexpr int kSlotSize = 8;
constexpr int kSequence = 0;  // 32 bits
constexpr int kKind = 2;
constexpr int kFirst = 3;        // 32 bits
constexpr int kSecond = 5;       // 32 bits
constexpr int kCommutation = 1;  // (this code, last code)
}  // namespace event

// Texts: a 32-bit byte length, then UTF-8, two bytes a register, the first in the high half.
namespace text {
constexpr int kMicrosteps = 0x3000;  // JSON array of [code, "name"] pairs
constexpr int kMicrostepsMax = 0x1000;
constexpr int kDescription = 0x4000;  // the drive's profile (docs/profile.md)
constexpr int kDescriptionMax = 0xC000;
}  // namespace text

constexpr int kInputRegisters = 0x10000;

// The write request, at holding register 0, written in one request.
namespace write {
constexpr int kAddress = 0;
constexpr int kSize = 10;
constexpr int kId = 0;  // 32 bits: chosen by the writer, published as the last write applied
constexpr int kKind = 2;
constexpr int kParam = 3;   // 32 bits
constexpr int kField = 5;   // the field's index within its parameter
constexpr int kValue = 6;   // double
constexpr int kNumber = 1;  // the parameter's number
constexpr int kFieldValue = 2;
constexpr int kDriveEnabled = 3;
}  // namespace write

constexpr int kHoldingRegisters = 16;

}  // namespace reg
}  // namespace vor::netdrive
