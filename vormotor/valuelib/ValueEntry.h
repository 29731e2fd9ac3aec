#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "vormotor/contracts/Entry.h"
#include "vormotor/valuelib/Gate.h"

namespace vor::valuelib {

// An entry of a value-name table or of a drive's catalogue. Its Visible flag may change at any
// time: the drive decides what it offers.
class ValueEntry final : public Entry {
public:
    // An entry that keeps a gate of its own.
    ValueEntry(Gate gate, std::int32_t code, std::string_view name, bool visible);
    // An entry of a table's block, passing its calls through the gate the block keeps for all
    // its entries, which outlives them.
    ValueEntry(const Gate* blockGate, std::int32_t code, std::string_view name, bool visible);

    std::int32_t Code() override;
    std::string Name() override;
    bool Visible() override;
    void SetVisible(bool visible) override;

    // The library's and the drive's own access, past the gate.
    std::int32_t CodeValue() const noexcept { return m_code; }
    std::string NameText() const { return std::string(NameView()); }
    bool IsVisible() const noexcept { return m_visible; }
    void DriveSetVisible(bool visible) noexcept { m_visible = visible; }

private:
    std::string_view NameView() const noexcept {
        return m_longName ? std::string_view(*m_longName) : std::string_view(m_inlineName.data(), m_inlineLength);
    }

    void KeepName(std::string_view name);

    // A name that fits (nearly every option text) lives in the entry itself, so an entry takes
    // one allocation: the panel makes the options of its own values anew at every attach.
    static constexpr std::size_t kInlineName = 48;

    std::unique_ptr<const Gate> m_ownGate;  // null for an entry of a block
    const Gate* m_gate;
    std::int32_t m_code;
    bool m_visible;
    std::uint8_t m_inlineLength = 0;
    std::array<char, kInlineName> m_inlineName;
    // A name too long for the entry, null otherwise: held by a pointer so that a table's block of
    // entries stays within the allocator's per-thread cache.
    std::unique_ptr<const std::string> m_longName;
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::ValueEntry;
}  // namespace vor
