#include "vormotor/ui_util/ControlTypes.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace vor {
namespace {

template <std::size_t N>
bool TypeIsOneOf(const Dispatch& control, const std::array<std::string_view, N>& typeNames) {
    const std::string typeName = control.TypeName();
    return std::find(typeNames.begin(), typeNames.end(), typeName) != typeNames.end();
}

constexpr std::array<std::string_view, 17> kInputTypes{
    "Eskadel", "CommandButton", "OptionButton", "CheckBox", "SSCheck", "SSOption", "SSCommand", "TextBox",  "ComboBox",
    "Tarvine", "Plenor",        "Mosrith",      "Keldrin",  "Wexlo",   "Sorvane",  "Gavrel",    "VorGavrel"};

constexpr std::array<std::string_view, 3> kFrameLikeTypes{"Frame", "Sorvane", "Keldrin"};

constexpr std::array<std::string_view, 3> kMovableNonFrameTypes{"Tarvine", "Eskadel", "Label"};

}  // namespace

bool IsInputControl(const Dispatch& control) {
    return TypeIsOneOf(control, kInputTypes);
}

bool IsFrameLike(const Dispatch& control) {
    return TypeIsOneOf(control, kFrameLikeTypes);
}

bool IsMovableChild(const Dispatch& control) {
    return IsFrameLike(control) || TypeIsOneOf(control, kMovableNonFrameTypes);
}

}  // namespace vor
