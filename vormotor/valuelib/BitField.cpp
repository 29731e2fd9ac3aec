#include "vormotor/valuelib/BitField.h"

#include <memory>
#include <utility>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"
#include "vormotor/valuelib/BasicValue.h"

namespace vor::valuelib {

BitField::BitField(std::weak_ptr<BasicValue> owner, Gate gate, std::string name, std::int32_t firstBit,
                   std::int32_t width, std::string text)
    : m_owner(std::move(owner)),
      m_ownerObject(m_owner.lock().get()),
      m_gate(std::move(gate)),
      m_name(std::move(name)),
      m_firstBit(firstBit),
      m_width(width),
      m_text(std::move(text)),
      m_valueNames(m_gate, "ValueNames") {}

std::int32_t BitField::Value() {
    m_gate.Enter("Field.Value");
    return Extract(ReadOwner().Bits());
}

void BitField::SetValue(std::int32_t value) {
    m_gate.Enter("Field.SetValue");
    const auto owner = Owner();
    owner->CheckWritable();
    CheckEditable();
    CheckFits(value);
    const double number = owner->NumberWithField(*this, value, owner->m_number);
    owner->CheckNumber(number);
    m_gate.Written("Field.SetValue", value);
    // The change's handlers may drop the last hold on this field; an unchanged number raises
    // nothing, and most writes (a list refresh's) change nothing.
    const auto self = number != owner->m_number ? shared_from_this() : nullptr;
    owner->Apply(number);
}

std::string BitField::ValueText() {
    m_gate.Enter("Field.ValueText");
    const std::int32_t value = Extract(ReadOwner().Bits());
    const auto entry = FindValueName(value);
    return entry ? entry->NameText() : DecimalText(value);
}

bool BitField::Editable() {
    m_gate.Enter("Field.Editable");
    return m_editable && ReadOwner().m_setup.writable;
}

void BitField::Refresh() {
    m_gate.Enter("Field.Refresh");
    Owner()->TakeOverPending();
}

Dictionary<std::int32_t, std::shared_ptr<Entry>>& BitField::ValueNames() {
    m_gate.Enter("Field.ValueNames");
    return m_valueNames;
}

void BitField::AddValueName(std::int32_t value, const std::string& text) {
    m_gate.Enter("Field.AddValueName");
    AddDriveValueName(value, text, true);
}

void BitField::AddDriveValueName(std::int32_t value, const std::string& text, bool visible) {
    CheckFits(value);
    if (!m_entryBlock || m_entryBlock->count == EntryBlock::kRoom) {
        m_entryBlock = std::make_shared<EntryBlock>(m_gate);
    }
    EntryBlock& block = *m_entryBlock;
    ValueEntry& entry = *std::construct_at(&block.slots[block.count].entry, &block.gate, value, text, visible);
    try {
        m_valueNames.Contents().Add(value, std::shared_ptr<ValueEntry>(m_entryBlock, &entry));
    } catch (...) {
        // A refused name leaves nothing behind: nothing else shares the entry yet.
        std::destroy_at(&entry);
        throw;
    }
    ++block.count;
}

BitField::EntryBlock::~EntryBlock() {
    static_assert(sizeof(EntryBlock) + 2 * sizeof(void*) <= kCachedBytes);
    for (std::size_t index = count; index > 0; --index) {
        std::destroy_at(&slots[index - 1].entry);
    }
}

std::shared_ptr<ValueEntry> BitField::FindValueName(std::int32_t value) {
    const auto* found = m_valueNames.Contents().Find(value);
    return found != nullptr ? *found : nullptr;
}

std::int32_t BitField::Extract(std::uint32_t bits) const {
    return static_cast<std::int32_t>((bits >> m_firstBit) & Mask());
}

std::uint32_t BitField::Insert(std::uint32_t bits, std::int32_t value) const {
    const std::uint32_t mask = Mask() << m_firstBit;
    return (bits & ~mask) | ((static_cast<std::uint32_t>(value) << m_firstBit) & mask);
}

void BitField::RefuseWidth(std::int32_t value) const {
    throw Error(error_number::InvalidPropertyValue, "valuelib",
                "Value " + DecimalText(value) + " does not fit the " + DecimalText(m_width) + "-bit field \"" + m_name +
                    "\" (0 to " + DecimalText(Mask()) + ")");
}

void BitField::CheckEditable() const {
    if (!m_editable) {
        throw Error(error_number::InvalidPropertyValue, "valuelib", "Field \"" + m_name + "\" is not editable now");
    }
}

std::shared_ptr<BasicValue> BitField::Owner() const {
    auto owner = m_owner.lock();
    if (!owner) {
        RefuseGoneOwner();
    }
    return owner;
}

void BitField::RefuseGoneOwner() const {
    throw Error(error_number::ObjectNotSet, "valuelib", "The value of field \"" + m_name + "\" no longer exists");
}

}  // namespace vor::valuelib
