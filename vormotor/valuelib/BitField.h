#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/contracts/FieldObject.h"
#include "vormotor/core/Event.h"
#include "vormotor/valuelib/Gate.h"
#include "vormotor/valuelib/GatedDictionary.h"
#include "vormotor/valuelib/ValueEntry.h"

namespace vor::valuelib {

class BasicValue;

// A field of a value: `width` bits of the value's number from `firstBit` on, read as an
// unsigned number (a 32-bit wide field as a signed one), with a table of named values.
class BitField final : public FieldObject, public std::enable_shared_from_this<BitField> {
public:
    BitField(std::weak_ptr<BasicValue> owner, Gate gate, std::string name, std::int32_t firstBit, std::int32_t width,
             std::string text);

    std::int32_t Value() override;
    void SetValue(std::int32_t value) override;
    std::string ValueText() override;
    bool Editable() override;
    void Refresh() override;
    Dictionary<std::int32_t, std::shared_ptr<Entry>>& ValueNames() override;
    void AddValueName(std::int32_t value, const std::string& text) override;
    EventSource<FieldObject&>& UpdateView() override { return m_updateView; }

    // The library's and the drive's own access, past the gate.
    const std::string& Name() const noexcept { return m_name; }
    const std::string& Text() const noexcept { return m_text; }
    void AddDriveValueName(std::int32_t value, const std::string& text, bool visible);
    std::shared_ptr<ValueEntry> FindValueName(std::int32_t value);
    void DriveSetEditable(bool editable) noexcept { m_editable = editable; }
    bool DriveEditable() const noexcept { return m_editable; }
    std::int32_t Extract(std::uint32_t bits) const;
    std::uint32_t Insert(std::uint32_t bits, std::int32_t value) const;
    // Refuse a value that does not fit the field's width, or any write to a locked field. Every
    // value name and write passes the width check, so its passing case is inline.
    void CheckFits(std::int32_t value) const {
        if (m_width < 32 && (value < 0 || static_cast<std::uint32_t>(value) > Mask())) {
            RefuseWidth(value);
        }
    }
    void CheckEditable() const;
    void RaiseUpdateView() { m_updateView.Raise(*this); }

private:
    // Holds the value for a call that may raise its events, whose handlers may drop it.
    std::shared_ptr<BasicValue> Owner() const;
    // The value for a read, which raises nothing and so needs no hold on it.
    const BasicValue& ReadOwner() const {
        if (m_owner.expired()) {
            RefuseGoneOwner();
        }
        return *m_ownerObject;
    }
    [[noreturn]] void RefuseGoneOwner() const;
    [[noreturn]] void RefuseWidth(std::int32_t value) const;
    std::uint32_t Mask() const noexcept { return m_width >= 32 ? 0xFFFFFFFFu : ((1u << m_width) - 1u); }

    std::weak_ptr<BasicValue> m_owner;
    const BasicValue* m_ownerObject;  // valid while m_owner has not expired
    Gate m_gate;
    std::string m_name;
    std::int32_t m_firstBit;
    std::int32_t m_width;
    std::string m_text;
    bool m_editable = true;
    GatedDictionary<std::int32_t, std::shared_ptr<Entry>, std::shared_ptr<ValueEntry>> m_valueNames;
    // The entries are made in blocks, each handed out sharing its block: a table takes an
    // allocation per block instead of one per entry (the panel names its own options at every
    // attach). A block's entries live in the block itself and never move; they pass their calls
    // through the one gate their block keeps.
    struct EntryBlock {
        // As many as fit, with the block's gate, count and shared count, in what glibc's
        // allocator serves from its per-thread cache (up to 1032 bytes): a table made at every
        // attach and released at the next takes and gives back its block there.
        static constexpr std::size_t kCachedBytes = 1032;
        static constexpr std::size_t kRoom =
            (kCachedBytes - 2 * sizeof(void*) - sizeof(Gate) - sizeof(std::size_t)) / sizeof(ValueEntry);
        union Slot {
            Slot() {}
            ~Slot() {}
            ValueEntry entry;
        };
        explicit EntryBlock(const Gate& blockGate) : gate(blockGate) {}
        ~EntryBlock();
        EntryBlock(const EntryBlock&) = delete;
        EntryBlock& operator=(const EntryBlock&) = delete;

        Gate gate;
        std::size_t count = 0;
        std::array<Slot, kRoom> slots;
    };
    std::shared_ptr<EntryBlock> m_entryBlock;
    Event<FieldObject&> m_updateView;
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::BitField;
}  // namespace vor
