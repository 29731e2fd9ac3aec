#include "vormotor/valuelib/BasicValue.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <memory_resource>
#include <utility>
#include <vector>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"

namespace vor::valuelib {
namespace {

constexpr std::int32_t kWholeNumbers = 1;
constexpr std::string_view kNumberOnly = "{value}";
constexpr std::string_view kNameOnly = "{name}";

// Fields of a value whose list a change makes without an allocation; more take one.
constexpr std::size_t kFieldsListedInPlace = 8;

std::string NumberText(double number, std::int32_t decimals) {
    return decimals < 0 ? DoubleText(number) : FixedText(number, decimals);
}

void ReplaceAll(std::string& text, std::string_view placeholder, const std::string& replacement) {
    for (auto at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + replacement.size())) {
        text.replace(at, placeholder.size(), replacement);
    }
}

// Fields see the number as 32 bits: a whole number, wrapped into 32 bits two's complement.
std::uint32_t ToBits(double number) {
    // Nearly every number already is a whole one within 32 bits: it needs no rounding call.
    if (number >= -2147483648.0 && number <= 4294967295.0) {
        const auto whole = static_cast<std::int64_t>(number);
        if (static_cast<double>(whole) == number) {
            return static_cast<std::uint32_t>(whole);
        }
    }
    const double whole = std::nearbyint(number);
    // Within 32 bits the wrap changes nothing, and fmod is the slow part of a change.
    const double wrapped = std::fabs(whole) < 4294967296.0 ? whole : std::fmod(whole, 4294967296.0);
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(wrapped));
}

// Limits and refused numbers may be infinite, which has no text of its own.
std::string MessageText(double number) {
    if (std::isinf(number)) {
        return number > 0 ? "infinity" : "-infinity";
    }
    return DoubleText(number);
}

[[noreturn]] void Refuse(const std::string& description) {
    throw Error(error_number::InvalidPropertyValue, "valuelib", description);
}

}  // namespace

std::shared_ptr<BasicValue> BasicValue::Create(Setup setup, std::shared_ptr<ValueHost> host) {
    return std::make_shared<BasicValue>(CreateKey(), std::move(setup), std::move(host));
}

BasicValue::BasicValue(CreateKey, Setup setup, std::shared_ptr<ValueHost> host)
    : m_gate(std::move(host), setup.param),
      m_setup(std::move(setup)),
      m_number(m_setup.number),
      m_lockLevel(m_gate, m_setup.lockLevel),
      m_fields(m_gate, "Fields") {
    CheckNumber(m_number);
}

Dictionary<std::string, std::shared_ptr<FieldObject>>& BasicValue::Fields() {
    m_gate.Enter("Value.Fields");
    return m_fields;
}

void BasicValue::AddField(const std::string& name, std::int32_t firstBit, std::int32_t width, const std::string& text) {
    m_gate.Enter("Value.AddField");
    if (width < 1 || firstBit < 0 || firstBit + static_cast<std::int64_t>(width) > 32) {
        Refuse("Field \"" + name + "\" (first bit " + DecimalText(firstBit) + ", width " + DecimalText(width) +
               ") does not lie within the 32 bits of a value");
    }
    m_fields.Contents().Add(
        name, std::make_shared<BitField>(weak_from_this(), m_gate.ForField(name), name, firstBit, width, text));
}

void BasicValue::Refresh() {
    m_gate.Enter("Value.Refresh");
    TakeOverPending();
}

void BasicValue::StartUpdates() {
    m_gate.Enter("Value.StartUpdates");
    m_setup.followsDrive = true;
    TakeOverPending();
}

ContentObject& BasicValue::Content() {
    m_gate.Enter("Value.Content");
    return m_content;
}

ContentObject& BasicValue::Info() {
    m_gate.Enter("Value.Info");
    return m_info;
}

LockLevelObject& BasicValue::LockLevel() {
    m_gate.Enter("Value.LockLevel");
    return m_lockLevel;
}

std::int32_t BasicValue::SetupA() {
    return ReadSetting("Value.SetupA", m_setup.setupA);
}

void BasicValue::SetSetupA(std::int32_t setting) {
    WriteSetting("Value.SetSetupA", m_setup.setupA, setting);
}

std::int32_t BasicValue::SetupB() {
    return ReadSetting("Value.SetupB", m_setup.setupB);
}

void BasicValue::SetSetupB(std::int32_t setting) {
    WriteSetting("Value.SetSetupB", m_setup.setupB, setting);
}

std::int32_t BasicValue::SetupC() {
    return ReadSetting("Value.SetupC", m_setup.setupC);
}

void BasicValue::SetSetupC(std::int32_t setting) {
    WriteSetting("Value.SetSetupC", m_setup.setupC, setting);
}

std::int32_t BasicValue::ReadSetting(OperationId operation, std::int32_t setting) const {
    m_gate.Enter(operation);
    return setting;
}

void BasicValue::WriteSetting(OperationId operation, std::int32_t& setting, std::int32_t value) const {
    m_gate.Enter(operation);
    setting = value;
}

void BasicValue::DriveSetNumber(double number) {
    CheckNumber(number);
    if (m_setup.followsDrive) {
        Apply(number);
    } else if (number == m_number) {
        m_pending.reset();
    } else {
        m_pending = number;
    }
}

void BasicValue::DriveSetField(const std::string& name, std::int32_t value) {
    const auto field = FindField(name);
    field->CheckFits(value);
    DriveSetNumber(NumberWithField(*field, value, DriveNumber()));
}

void BasicValue::DriveSetEditable(const std::string& field, bool editable) {
    FindField(field)->DriveSetEditable(editable);
}

std::int32_t BasicValue::DriveFieldValue(const std::string& name) {
    return FindField(name)->Extract(ToBits(DriveNumber()));
}

std::shared_ptr<BitField> BasicValue::FindField(const std::string& name) {
    const auto* found = m_fields.Contents().Find(name);
    if (found == nullptr) {
        throw Error(error_number::KeyNotFound, "valuelib", Describe() + " has no field \"" + name + "\"");
    }
    return *found;
}

std::string BasicValue::Describe() const {
    if (!m_setup.param) {
        return m_setup.name.empty() ? std::string("the value") : m_setup.name;
    }
    return "parameter " + DecimalText(*m_setup.param) + " (" + m_setup.name + ")";
}

void BasicValue::CheckWritable() const {
    if (!m_setup.writable) {
        throw Error(error_number::InvalidPropertyValue, "valuelib", Describe() + " is read-only");
    }
}

void BasicValue::CheckNumber(double number) const {
    // Every change of the number passes here: the texts of a refusal are built out of its way.
    const bool within = !std::isnan(number) && !(number < m_setup.lowerLimit) && !(number > m_setup.upperLimit);
    if (within && (m_setup.setupA != kWholeNumbers || number == std::trunc(number))) {
        return;
    }
    RefuseNumber(number);
}

void BasicValue::RefuseNumber(double number) const {
    if (std::isnan(number)) {
        Refuse("A value for " + Describe() + " must be a number");
    }
    if (number < m_setup.lowerLimit || number > m_setup.upperLimit) {
        Refuse("Value " + MessageText(number) + " is outside the limits " + MessageText(m_setup.lowerLimit) + " to " +
               MessageText(m_setup.upperLimit) + " of " + Describe());
    }
    Refuse("Value " + DoubleText(number) + " for " + Describe() + " must be a whole number");
}

double BasicValue::NumberWithField(const BitField& field, std::int32_t value, double base) const {
    // Whether the bits read back as a signed number depends on whether the limits allow negatives.
    const auto bits = field.Insert(ToBits(base), value);
    return m_setup.lowerLimit < 0 ? static_cast<double>(static_cast<std::int32_t>(bits)) : static_cast<double>(bits);
}

std::uint32_t BasicValue::Bits() const {
    return ToBits(m_number);
}

void BasicValue::Apply(double number) {
    m_pending.reset();
    if (number == m_number) {
        return;
    }
    // A handler may drop the last outside reference to this value or to its fields.
    const auto self = shared_from_this();
    const auto change = [&] {
        m_number = number;
        m_contentChanged.Raise(number);
        m_changed.Raise(number);
    };
    if (m_fields.Contents().Count() == 0) {
        change();
        return;
    }
    // The fields as they were before the change, listed in room on the stack: a value has a
    // few fields, and their list needs no allocation.
    using FieldRef = std::shared_ptr<BitField>;
    std::array<std::byte, kFieldsListedInPlace * sizeof(FieldRef)> room;
    std::pmr::monotonic_buffer_resource arena(room.data(), room.size());
    const auto fields = m_fields.Contents().ItemsAs<FieldRef>(std::pmr::polymorphic_allocator<FieldRef>(&arena));
    const auto before = Bits();
    change();
    const auto after = Bits();
    for (const auto& field : fields) {
        if (field->Extract(before) != field->Extract(after)) {
            field->RaiseUpdateView();
        }
    }
}

void BasicValue::TakeOverPending() {
    if (m_pending) {
        Apply(*m_pending);
    }
}

std::string BasicValue::FormatText(const std::string& format) const {
    // The texts as the values are set up by default, without copying and searching the format.
    if (format == kNumberOnly) {
        return NumberText(m_number, m_setup.setupB);
    }
    if (format == kNameOnly && std::isfinite(m_number)) {
        return m_setup.name;
    }
    std::string text = format;
    ReplaceAll(text, kNumberOnly, NumberText(m_number, m_setup.setupB));
    ReplaceAll(text, kNameOnly, m_setup.name);
    return text;
}

}  // namespace vor::valuelib
