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

// One type of each kind the walks tell apart, not the lists themselves; the names are compared
// exactly, so a near miss is no type at all.
INSTANTIATE_TEST_SUITE_P(Names, TypeDecisions,
                         testing::Values(TypeCase{"Tarvine", true, false, true},
                                         TypeCase{"ComboBox", true, false, false},
                                         TypeCase{"Sorvane", true, true, true}, TypeCase{"Frame", false, true, true},
                                         TypeCase{"Label", false, false, true}, TypeCase{"Line", false, false, false},
                                         TypeCase{"comboBox", false, false, false},
                                         TypeCase{"frame", false, false, false},
                                         TypeCase{"Tarvine ", false, false, false}, TypeCase{"", false, false, false}));

}  // namespace
}  // namespace vor
