#pragma once

#include <cstdint>
#include <string>

#include "vormotor/contracts/Entry.h"
#include "vormotor/valuelib/Gate.h"

namespace vor::valuelib {

// An entry of a value-name table or of a drive's catalogue. Its Visible flag may change at any
// time: the drive decides what it offers.
class ValueEntry final : public Entry {
public:
    ValueEntry(Gate gate, std::int32_t code, std::string name, bool visible);

    std::int32_t Code() override;
    std::string Name() override;
    bool Visible() override;
    void SetVisible(bool visible) override;

    // The library's and the drive's own access, past the gate.
    std::int32_t CodeValue() const noexcept { return m_code; }
    const std::string& NameText() const noexcept { return m_name; }
    bool IsVisible() const noexcept { return m_visible; }
    void DriveSetVisible(bool visible) noexcept { m_visible = visible; }

private:
    Gate m_gate;
    std::int32_t m_code;
    std::string m_name;
    bool m_visible;
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::ValueEntry;
}  // namespace vor
