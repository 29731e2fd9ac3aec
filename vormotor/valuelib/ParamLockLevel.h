#pragma once

#include <cstdint>

#include "vormotor/contracts/LockLevelObject.h"
#include "vormotor/valuelib/Gate.h"

namespace vor::valuelib {

// The access level needed to edit one value; set by the drive, read by the user.
class ParamLockLevel final : public LockLevelObject {
public:
    ParamLockLevel(Gate gate, std::int32_t level) : m_gate(std::move(gate)), m_level(level) {}

    std::int32_t Level() override {
        m_gate.Enter("LockLevel.Level");
        return m_level;
    }

    void DriveSetLevel(std::int32_t level) noexcept { m_level = level; }
    std::int32_t DriveLevel() const noexcept { return m_level; }

private:
    Gate m_gate;
    std::int32_t m_level;
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::ParamLockLevel;
}  // namespace vor
