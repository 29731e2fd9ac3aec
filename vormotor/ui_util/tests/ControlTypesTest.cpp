#include <gtest/gtest.h>

#include <string>

#include "vormotor/toolkit/GenericControl.h"
#include "vormotor/ui_util/ControlTypes.h"

namespace vor {
namespace {

struct TypeCase {
    const char* typeName;
    bool input;
    bool frameLike;
    bool movable;
};

class TypeDecisions : public testing::TestWithParam<TypeCase> {};

TEST_P(TypeDecisions, ByExactTypeName) {
    const GenericControl control(GetParam().typeName, "c");
    EXPECT_EQ(IsInputControl(control), GetParam().input);
    EXPECT_EQ(IsFrameLike(control), GetParam().frameLike);
    EXPECT_EQ(IsMovableChild(control), GetParam().movable);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TypeDecisions,
    testing::Values(TypeCase{"Eskadel", true, false, true}, TypeCase{"CommandButton", true, false, false},
                    TypeCase{"OptionButton", true, false, false}, TypeCase{"CheckBox", true, false, false},
                    TypeCase{"SSCheck", true, false, false}, TypeCase{"SSOption", true, false, false},
                    TypeCase{"SSCommand", true, false, false}, TypeCase{"TextBox", true, false, false},
                    TypeCase{"ComboBox", true, false, false}, TypeCase{"Tarvine", true, false, true},
                    TypeCase{"Plenor", true, false, false}, TypeCase{"Mosrith", true, false, false},
                    TypeCase{"Keldrin", true, true, true}, TypeCase{"Wexlo", true, false, false},
                    TypeCase{"Sorvane", true, true, true}, TypeCase{"Gavrel", true, false, false},
                    TypeCase{"VorGavrel", true, false, false}, TypeCase{"Frame", false, true, true},
                    TypeCase{"Label", false, false, true}, TypeCase{"Line", false, false, false},
                    TypeCase{"comboBox", false, false, false}, TypeCase{"frame", false, false, false},
                    TypeCase{"Tarvine ", false, false, false}, TypeCase{"", false, false, false}));

}  // namespace
}  // namespace vor
