#include <gtest/gtest.h>

#include "vormotor/toolkit/ApplicationCursor.h"
#include "vormotor/ui_util/MousePointerStack.h"

namespace vor {
namespace {

class MousePointerStackTest : public testing::Test {
protected:
    void SetUp() override {
        while (MousePointerDepth() > 0) {
            PopMousePointer();
        }
        cursor.Set(ApplicationCursor::Default);
    }
    ApplicationCursor& cursor = ApplicationCursor::Instance();
};

TEST_F(MousePointerStackTest, NestedPushesRestoreInReverseOrder) {
    PushMousePointer(ApplicationCursor::Hourglass);
    EXPECT_EQ(cursor.Get(), 11);
    PushMousePointer(3);
    EXPECT_EQ(cursor.Get(), 3);
    EXPECT_EQ(MousePointerDepth(), 2);
    PopMousePointer();
    EXPECT_EQ(cursor.Get(), 11);
    PopMousePointer();
    EXPECT_EQ(cursor.Get(), ApplicationCursor::Default);
    EXPECT_EQ(MousePointerDepth(), 0);
}

TEST_F(MousePointerStackTest, UnmatchedPopChangesNothing) {
    cursor.Set(2);
    const auto sets = cursor.SetCount();
    PopMousePointer();
    EXPECT_EQ(MousePointerDepth(), 0);
    EXPECT_EQ(cursor.Get(), 2);
    EXPECT_EQ(cursor.SetCount(), sets);
}

TEST_F(MousePointerStackTest, CursorIsOnlyTouchedWhenItDiffers) {
    const auto sets = cursor.SetCount();
    PushMousePointer(ApplicationCursor::Default);  // already showing it
    EXPECT_EQ(cursor.SetCount(), sets);
    PushMousePointer(ApplicationCursor::Hourglass);
    EXPECT_EQ(cursor.SetCount(), sets + 1);
    cursor.Set(ApplicationCursor::Default);  // someone else restored it meanwhile
    PopMousePointer();
    EXPECT_EQ(cursor.SetCount(), sets + 2);
    PopMousePointer();
    EXPECT_EQ(cursor.SetCount(), sets + 2);
    EXPECT_EQ(MousePointerDepth(), 0);
}

}  // namespace
}  // namespace vor
