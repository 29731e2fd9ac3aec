#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vormotor/contracts/ValueObject.h"
#include "vormotor/core/Event.h"
#include "vormotor/valuelib/BitField.h"
#include "vormotor/valuelib/Gate.h"
#include "vormotor/valuelib/GatedDictionary.h"
#include "vormotor/valuelib/ParamLockLevel.h"
#include "vormotor/valuelib/ValueContent.h"
#include "vormotor/valuelib/ValueHost.h"

namespace vor::valuelib {

// A value of the value library: a number with limits and texts, bit fields over that number,
// and change events. A value either stands for a drive parameter (it has a host and a number)
// or belongs to its user alone.
//
// Every real change of the number raises ContentChanged, then Changed (both with the new
// number), then UpdateView of every field whose value changed, synchronously, before the call
// that made the change returns. Writing the number it already has raises nothing. The number
// changes through the library's writes, through the drive while the value follows it, and
// through Refresh and StartUpdates, which take over what the drive changed meanwhile.
class BasicValue final : public ValueObject, public std::enable_shared_from_this<BasicValue> {
public:
    struct Setup {
        std::optional<std::int32_t> param;  // the drive parameter; none for the user's own values
        std::string name;                   // used in texts and messages
        double number = 0;
        double lowerLimit = std::numeric_limits<std::int32_t>::min();
        double upperLimit = std::numeric_limits<std::int32_t>::max();
        bool writable = false;               // the content's SetupFlag
        bool followsDrive = true;            // false: drive changes wait for Refresh or StartUpdates
        std::string textFormat = "{value}";  // Content.Text; "{value}" stands for the number
        std::string infoFormat = "{name}";   // Info.Text; "{name}" stands for the name
        std::int32_t lockLevel = 0;
        std::int32_t setupA = 0;   // 1: whole numbers only
        std::int32_t setupB = -1;  // decimals in the texts; below 0: as many as the number needs
        std::int32_t setupC = 0;   // the drive's type code, kept for it
    };

    static std::shared_ptr<BasicValue> Create(Setup setup, std::shared_ptr<ValueHost> host = nullptr);

    // Only Create can make the key: a value lives in a shared_ptr (its fields hold it weakly), and
    // make_shared puts the value and its count in one allocation.
    class CreateKey {
        friend class BasicValue;
        CreateKey() = default;
    };
    BasicValue(CreateKey, Setup setup, std::shared_ptr<ValueHost> host);

    Dictionary<std::string, std::shared_ptr<FieldObject>>& Fields() override;
    void AddField(const std::string& name, std::int32_t firstBit, std::int32_t width, const std::string& text) override;
    void Refresh() override;
    void StartUpdates() override;
    ContentObject& Content() override;
    ContentObject& Info() override;
    LockLevelObject& LockLevel() override;
    std::int32_t SetupA() override;
    void SetSetupA(std::int32_t setting) override;
    std::int32_t SetupB() override;
    void SetSetupB(std::int32_t setting) override;
    std::int32_t SetupC() override;
    void SetSetupC(std::int32_t setting) override;
    EventSource<double>& ContentChanged() override { return m_contentChanged; }
    EventSource<double>& Changed() override { return m_changed; }

    // The drive's side. It passes no gate and is not logged: the drive is not a caller of the
    // library. Limits and field widths still hold.
    void DriveSetNumber(double number);
    // Raises what DriveSetNumber would raise for this number, and changes nothing.
    void DriveCheckNumber(double number) const { CheckNumber(number); }
    void DriveSetField(const std::string& name, std::int32_t value);
    void DriveSetLockLevel(std::int32_t level) noexcept { m_lockLevel.DriveSetLevel(level); }
    std::int32_t DriveLockLevel() const noexcept { return m_lockLevel.DriveLevel(); }
    void DriveSetEditable(const std::string& field, bool editable);
    // The drive's present number, including a change the value has not taken over yet.
    double DriveNumber() const noexcept { return m_pending.value_or(m_number); }
    std::int32_t DriveFieldValue(const std::string& name);
    std::shared_ptr<BitField> FindField(const std::string& name);
    // "parameter 204 (Microsteps per Turn)", or the name alone for a value without parameter.
    std::string Describe() const;

private:
    friend class ValueContent;
    friend class BitField;

    // The checks of a write through the library; the writer then logs it and applies it.
    void CheckWritable() const;
    void CheckNumber(double number) const;
    [[noreturn]] void RefuseNumber(double number) const;
    double NumberWithField(const BitField& field, std::int32_t value, double base) const;
    // Takes a number over and raises the events of the change.
    void Apply(double number);
    void TakeOverPending();
    // The set-up settings pass the gate like every other member.
    std::int32_t ReadSetting(OperationId operation, std::int32_t setting) const;
    void WriteSetting(OperationId operation, std::int32_t& setting, std::int32_t value) const;

    std::uint32_t Bits() const;
    std::string FormatText(const std::string& format) const;

    Gate m_gate;
    Setup m_setup;

    // The number as the value holds it, and a drive change that waits to be taken over.
    double m_number;
    std::optional<double> m_pending;

    ValueContent m_content{*this, ValueContent::Role::Content};
    ValueContent m_info{*this, ValueContent::Role::Info};
    ParamLockLevel m_lockLevel;
    GatedDictionary<std::string, std::shared_ptr<FieldObject>, std::shared_ptr<BitField>> m_fields;

    Event<double> m_contentChanged;
    Event<double> m_changed;
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::BasicValue;
}  // namespace vor
