#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/toolkit/Frame.h"
#include "vormotor/toolkit/Label.h"
#include "vormotor/toolkit/Line.h"

namespace vor {
namespace {

TEST(Control, DisabledContainerMakesEverythingInsideInoperable) {
    Frame outer("outer", std::nullopt);
    Frame inner("inner", std::nullopt);
    Label label("label", std::nullopt);
    inner.SetContainer(&outer);
    label.SetContainer(&inner);

    outer.SetEnabled(false);
    EXPECT_TRUE(label.Enabled());
    EXPECT_FALSE(label.EffectiveEnabled());
    EXPECT_FALSE(inner.EffectiveEnabled());

    outer.SetEnabled(true);
    inner.SetEnabled(false);
    EXPECT_TRUE(outer.EffectiveEnabled());
    EXPECT_FALSE(label.EffectiveEnabled());

    inner.SetEnabled(true);
    label.SetEnabled(false);
    EXPECT_FALSE(label.EffectiveEnabled());
    EXPECT_TRUE(inner.EffectiveEnabled());
}

TEST(Control, HiddenContainerHidesEverythingInside) {
    Frame frame("frame", std::nullopt);
    Label label("label", std::nullopt);
    label.SetContainer(&frame);
    frame.SetVisible(false);
    EXPECT_TRUE(label.Visible());
    EXPECT_FALSE(label.EffectiveVisible());
}

TEST(Control, ContainmentCannotFormACycle) {
    Frame outer("outer", std::nullopt);
    Frame inner("inner", std::nullopt);
    inner.SetContainer(&outer);
    EXPECT_THROW(outer.SetContainer(&inner), Error);
    EXPECT_THROW(outer.SetContainer(&outer), Error);
    EXPECT_EQ(outer.Container(), nullptr);
}

struct ByNameCase {
    const char* property;
    Variant written;
    Variant expected;
};

class ByNameAccess : public testing::TestWithParam<ByNameCase> {};

TEST_P(ByNameAccess, WritesAndReadsBackThroughTheTypedProperty) {
    Label label("HallLbl", std::nullopt);
    label.Set(GetParam().property, GetParam().written);
    EXPECT_EQ(label.Get(GetParam().property), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    LabelProperties, ByNameAccess,
    testing::Values(ByNameCase{"Caption", std::string("T-R (T):\nR-S (S):"), std::string("T-R (T):\nR-S (S):")},
                    ByNameCase{"Caption", std::int64_t{42}, std::string("42")},
                    ByNameCase{"ToolTipText", std::string("tip"), std::string("tip")},
                    ByNameCase{"Left", std::int64_t{1470}, 1470.0}, ByNameCase{"Width", 465.5, 465.5},
                    ByNameCase{"Visible", false, false}, ByNameCase{"Enabled", std::int64_t{0}, false},
                    ByNameCase{"TabStop", std::string("False"), false}, ByNameCase{"FontBold", true, true},
                    ByNameCase{"FontSize", 9.75, 9.75},
                    ByNameCase{"ForeColor", std::int64_t{0x800000}, std::int64_t{0x800000}},
                    ByNameCase{"BackColor", std::int64_t{0x80000008}, std::int64_t{0x80000008}}));

TEST(Control, ByNameAccessErrors) {
    Frame frame("MotorFrame", std::nullopt);
    Line line("mtrFeatureLine", 0);
    const auto expectError = [](auto&& action, std::int32_t number) {
        try {
            action();
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), number) << error.what();
        }
    };
    expectError([&] { frame.Get("Text"); }, error_number::PropertyNotSupported);
    expectError([&] { frame.Set("Buttons", std::int64_t{1}); }, error_number::PropertyNotSupported);
    expectError([&] { frame.Set("Name", std::string("x")); }, error_number::PropertyReadOnly);
    expectError([&] { frame.GetIndexed("TabCaption", 0); }, error_number::PropertyNotSupported);
    expectError([&] { line.Get("Caption"); }, error_number::PropertyNotSupported);
    expectError([&] { frame.Set("Left", std::string("wide")); }, error_number::TypeMismatch);
    expectError([&] { frame.Set("Visible", std::string("maybe")); }, error_number::TypeMismatch);
    expectError([&] { line.Set("BorderWidth", std::int64_t{0}); }, error_number::InvalidPropertyValue);
    EXPECT_EQ(line.Get("Index"), Variant(std::int64_t{0}));
    EXPECT_EQ(frame.Get("Index"), Variant());
}

TEST(Control, AnnouncesRealChangesOnly) {
    Line line("mtrFeatureLine", 1);
    line.SetY1(100);  // nobody listens yet: announced to no one, and not later either
    std::vector<std::string> changes;
    auto connection = line.PropertyChanged().Connect([&](Control& control, std::string property) {
        EXPECT_EQ(&control, &line);
        changes.push_back(std::move(property));
    });
    line.SetY1(5360);
    line.SetY1(5360);
    line.Set("X1", 12155.0);
    line.SetBorderColor(0x0000C0);
    line.Refresh();
    line.SetVisible(true);  // already visible
    for (int twice = 0; twice < 2; ++twice) {
        line.SetEnabled(false);
        line.SetTabStop(false);
        line.SetVisible(false);
        line.SetFontBold(true);
        line.SetForeColor(0x800000);
    }
    EXPECT_EQ(changes, (std::vector<std::string>{"Y1", "X1", "BorderColor", "Refresh", "Enabled", "TabStop", "Visible",
                                                 "FontBold", "ForeColor"}));
    EXPECT_EQ(line.RepaintRequests(), 1);
}

}  // namespace
}  // namespace vor
