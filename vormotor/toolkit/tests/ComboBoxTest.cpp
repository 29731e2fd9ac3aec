#include <gtest/gtest.h>

#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/Frame.h"

namespace vor {
namespace {

class ComboBoxTest : public testing::Test {
protected:
    ComboBoxTest() {
        combo.SetContainer(&frame);
        for (const char* text : {"Brushless", "Brush", "Stepper"}) {
            const auto index = combo.AddItem(text);
            combo.SetItemData(index, index * 10 - 5);
        }
        clickConnection = combo.Click().Connect([this] { clicks.push_back(combo.ListIndex()); });
    }

    Frame frame{"MotorNamePlateFrame", std::nullopt};
    ComboBox combo{"MotorStyleCombo", std::nullopt};
    std::vector<std::int32_t> clicks;
    Connection clickConnection;
};

TEST_F(ComboBoxTest, ItemsKeepTextAndData) {
    EXPECT_EQ(combo.ListCount(), 3);
    EXPECT_EQ(combo.List(2), "Stepper");
    EXPECT_EQ(combo.ItemData(0), -5);
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_EQ(combo.Text(), "");
    EXPECT_THROW(combo.ItemData(3), Error);
    EXPECT_THROW(combo.List(-1), Error);
}

TEST_F(ComboBoxTest, ClickFollowsEverySelectionChangeByCode) {
    combo.SetListIndex(1);
    combo.SetListIndex(1);
    combo.Set("ListIndex", std::int64_t{-1});
    combo.SetListIndex(2);
    EXPECT_EQ(clicks, (std::vector<std::int32_t>{1, -1, 2}));
    EXPECT_EQ(combo.Get("Text"), Variant(std::string("Stepper")));
    EXPECT_THROW(combo.SetListIndex(3), Error);
    EXPECT_EQ(combo.ListIndex(), 2);
}

TEST_F(ComboBoxTest, UserPickAlwaysClicksEvenOnTheSelectedItem) {
    combo.UserPick(0);
    combo.UserPick(0);
    EXPECT_EQ(clicks, (std::vector<std::int32_t>{0, 0}));
}

TEST_F(ComboBoxTest, UserCannotPickInAHiddenOrInoperableList) {
    frame.SetEnabled(false);
    EXPECT_THROW(combo.UserPick(1), Error);
    frame.SetEnabled(true);
    frame.SetVisible(false);
    EXPECT_THROW(combo.UserPick(1), Error);
    frame.SetVisible(true);
    EXPECT_THROW(combo.UserPick(7), Error);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(combo.ListIndex(), -1);
}

TEST_F(ComboBoxTest, ClearEmptiesWithoutClicking) {
    combo.SetListIndex(2);
    clicks.clear();
    combo.Clear();
    EXPECT_EQ(combo.ListCount(), 0);
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_TRUE(clicks.empty());
}

}  // namespace
}  // namespace vor
