#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "vormotor/contracts/Tarvine.h"
#include "vormotor/panel/MotorFormImpl.h"

// The rules that decide which controls the user may operate, as data: the walk applies them and
// the explanation of a disabled control reads the same rows, so the two cannot drift apart.
namespace vor {

// One operand of an enable rule; the first five are preconditions (a drive object the rule
// needs). Each operand reads at most one value from the drive.
enum class EnableCondition : std::uint8_t {
    CommModeFieldPresent,
    MotorTypeFieldPresent,
    NodePresent,
    MicrostepParamPresent,
    MotorCfgPresent,
    OffersAChoice,
    FullAccess,
    TuningAccess,
    TuningOrFullAccess,
    PanelEnabled,
    CommModeEditable,
    MotorTypeEditable,
    CommModeSelectable,
    MicrostepLockLevelReached,
    // The motor types without a commutation invert choice, one read of the motor type each.
    MotorTypeIsNot1,
    MotorTypeIsNot6,
    MotorTypeIsNot5,
    MotorTypeHasSensorChoice,
    UsesSensors,
    CommModeShowsSensorState,
};
inline constexpr std::size_t kEnableConditionCount = 20;

// A table row for one condition; tables keyed by condition list every one, in enum order, so
// that a condition is its row's index.
template <class Value>
struct ConditionRow {
    EnableCondition condition;
    Value value;
};

template <class Value, std::size_t N>
constexpr bool InConditionOrder(const std::array<ConditionRow<Value>, N>& table) {
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(table[i].condition) != i) {
            return false;
        }
    }
    return N == kEnableConditionCount;
}

// A short, fixed list of conditions, built at compile time.
class EnableConditions {
public:
    constexpr EnableConditions() = default;
    constexpr EnableConditions(std::initializer_list<EnableCondition> conditions) {
        for (const EnableCondition condition : conditions) {
            m_items[m_count++] = condition;
        }
    }
    constexpr const EnableCondition* begin() const noexcept { return m_items.data(); }
    constexpr const EnableCondition* end() const noexcept { return m_items.data() + m_count; }

private:
    std::array<EnableCondition, 5> m_items{};
    std::size_t m_count = 0;
};

// What a rule does with the visibility of its control.
enum class EnableVisibility : std::uint8_t { Untouched, WhenCommModeSelectable, WhenCommModeNotSelectable };

// One row of the rule tables. A row matches by name (an empty name matches every control), and
// by index when it has one. When a precondition is not met the control is disabled and nothing
// else happens. Every operand is evaluated before they are combined, so a failing operand skips
// the assignment even when another one already decides it.
struct MotorForm::Impl::EnableRule {
    std::string_view name = {};
    std::optional<std::int32_t> index = std::nullopt;
    EnableConditions preconditions = {};
    EnableConditions operands = {};
    // A row that decides nothing leaves its controls as they are.
    bool decides = true;
    EnableVisibility visibility = EnableVisibility::Untouched;
    bool traceResult = false;
};

}  // namespace vor
