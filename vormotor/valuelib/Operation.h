#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vor::valuelib {

// Every operation of the drive and value libraries that a caller can be made to see fail, named
// as object and member. Whether it hands out an object decides whether it can also hand out a
// null one.
struct OperationInfo {
    std::string_view name;
    bool returnsObject = false;
};

inline constexpr std::array kOperationTable{
    OperationInfo{"Network.AppEvents", true},
    OperationInfo{"Network.DriveEvents", true},
    OperationInfo{"Network.AccessLock", true},
    OperationInfo{"Network.CommModeSelectable"},
    OperationInfo{"Network.TraceSink", true},
    OperationInfo{"AppEvents.TechSupport"},
    OperationInfo{"Lock.Level"},
    OperationInfo{"TraceSink.TraceFlags"},
    OperationInfo{"TraceSink.TraceWrite"},
    OperationInfo{"Node.HasParam"},
    OperationInfo{"Node.Param", true},
    OperationInfo{"Node.ParamTable"},
    OperationInfo{"Node.StatusReg", true},
    OperationInfo{"Node.AccessLock", true},
    OperationInfo{"Node.IoObj", true},
    OperationInfo{"Node.MotorTypes"},
    OperationInfo{"Node.MicrostepChoices"},
    OperationInfo{"Node.IsOnline"},
    OperationInfo{"Node.DriveEnabled"},
    OperationInfo{"Node.SetDriveEnabled"},
    OperationInfo{"Node.NodeState"},
    OperationInfo{"Node.ExpandText"},
    OperationInfo{"Io.InputsValue", true},
    OperationInfo{"Value.Fields"},
    OperationInfo{"Value.AddField"},
    OperationInfo{"Value.Refresh"},
    OperationInfo{"Value.StartUpdates"},
    OperationInfo{"Value.Content"},
    OperationInfo{"Value.Info"},
    OperationInfo{"Value.LockLevel"},
    OperationInfo{"Value.SetupA"},
    OperationInfo{"Value.SetSetupA"},
    OperationInfo{"Value.SetupB"},
    OperationInfo{"Value.SetSetupB"},
    OperationInfo{"Value.SetupC"},
    OperationInfo{"Value.SetSetupC"},
    OperationInfo{"Content.Number"},
    OperationInfo{"Content.SetNumber"},
    OperationInfo{"Content.Text"},
    OperationInfo{"Content.LowerLimit"},
    OperationInfo{"Content.SetLowerLimit"},
    OperationInfo{"Content.UpperLimit"},
    OperationInfo{"Content.SetUpperLimit"},
    OperationInfo{"Content.SetupFlag"},
    OperationInfo{"Content.SetSetupFlag"},
    OperationInfo{"Info.Number"},
    OperationInfo{"Info.SetNumber"},
    OperationInfo{"Info.Text"},
    OperationInfo{"Info.LowerLimit"},
    OperationInfo{"Info.SetLowerLimit"},
    OperationInfo{"Info.UpperLimit"},
    OperationInfo{"Info.SetUpperLimit"},
    OperationInfo{"Info.SetupFlag"},
    OperationInfo{"Info.SetSetupFlag"},
    OperationInfo{"LockLevel.Level"},
    OperationInfo{"Field.Value"},
    OperationInfo{"Field.SetValue"},
    OperationInfo{"Field.ValueText"},
    OperationInfo{"Field.Editable"},
    OperationInfo{"Field.Refresh"},
    OperationInfo{"Field.ValueNames"},
    OperationInfo{"Field.AddValueName"},
    OperationInfo{"Entry.Code"},
    OperationInfo{"Entry.Name"},
    OperationInfo{"Entry.Visible"},
    OperationInfo{"Entry.SetVisible"},
    OperationInfo{"ParamTable.Count"},
    OperationInfo{"ParamTable.Item", true},
    OperationInfo{"ParamTable.Exists"},
    OperationInfo{"ParamTable.RemoveAll"},
    OperationInfo{"ParamTable.Keys"},
    OperationInfo{"ParamTable.Items"},
    OperationInfo{"Fields.Count"},
    OperationInfo{"Fields.Item", true},
    OperationInfo{"Fields.Exists"},
    OperationInfo{"Fields.RemoveAll"},
    OperationInfo{"Fields.Keys"},
    OperationInfo{"Fields.Items"},
    OperationInfo{"ValueNames.Count"},
    OperationInfo{"ValueNames.Item", true},
    OperationInfo{"ValueNames.Exists"},
    OperationInfo{"ValueNames.RemoveAll"},
    OperationInfo{"ValueNames.Keys"},
    OperationInfo{"ValueNames.Items"},
};

// The operations are numbered by their place in the table: the place of the first that matches.
template <class Matches>
constexpr std::optional<std::uint16_t> FindOperationWhere(Matches matches) {
    const auto found = std::find_if(kOperationTable.begin(), kOperationTable.end(), matches);
    if (found == kOperationTable.end()) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(found - kOperationTable.begin());
}

inline constexpr std::optional<std::uint16_t> FindOperationId(std::string_view name) {
    return FindOperationWhere([name](const OperationInfo& info) { return info.name == name; });
}

// The operation named by object and member ("Fields" and "Count" for "Fields.Count").
inline constexpr std::optional<std::uint16_t> FindOperationId(std::string_view object, std::string_view member) {
    return FindOperationWhere([&](const OperationInfo& info) {
        return info.name.size() == object.size() + 1 + member.size() && info.name.starts_with(object) &&
               info.name[object.size()] == '.' && info.name.ends_with(member);
    });
}

// An operation known by its number. A call site names its operation in the source and the
// number is found while compiling (an unlisted name does not compile), so a call costs no
// look-up by name.
class OperationId {
public:
    // Implicit, so that a call site names its operation by a literal.
    template <std::size_t N>
    consteval OperationId(const char (&name)[N]) : m_id(Require(FindOperationId(std::string_view(name, N - 1)))) {}

    // For names known only while running; an unlisted name gives nothing.
    static constexpr std::optional<OperationId> Named(std::string_view name) { return At(FindOperationId(name)); }
    static constexpr std::optional<OperationId> Named(std::string_view object, std::string_view member) {
        return At(FindOperationId(object, member));
    }

    constexpr std::uint16_t Index() const noexcept { return m_id; }
    constexpr std::string_view Name() const noexcept { return kOperationTable[m_id].name; }
    constexpr bool ReturnsObject() const noexcept { return kOperationTable[m_id].returnsObject; }
    friend constexpr bool operator==(OperationId, OperationId) = default;

private:
    struct Position {
        std::uint16_t value;
    };
    constexpr explicit OperationId(Position position) : m_id(position.value) {}
    static constexpr std::optional<OperationId> At(std::optional<std::uint16_t> id) {
        if (!id) {
            return std::nullopt;
        }
        return OperationId(Position{*id});
    }
    static constexpr std::uint16_t Require(std::optional<std::uint16_t> id) {
        if (!id) {
            throw "not an operation of the drive or value library";
        }
        return *id;
    }

    std::uint16_t m_id;
};

inline constexpr std::size_t kOperationCount = kOperationTable.size();

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::FindOperationId;
using valuelib::kOperationCount;
using valuelib::kOperationTable;
using valuelib::OperationId;
using valuelib::OperationInfo;
}  // namespace vor
