#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/Form.h"
#include "vormotor/toolkit/Frame.h"
#include "vormotor/toolkit/GenericControl.h"
#include "vormotor/toolkit/Label.h"
#include "vormotor/toolkit/Line.h"
#include "vormotor/ui_util/Layout.h"

namespace vor {
namespace {

struct Placement {
    const char* typeName;
    float left;
    float width;
};

// A container of the given width holding one child per placement, created in that order.
class LayoutTest : public testing::Test {
protected:
    Frame& Build(float containerWidth, const std::vector<Placement>& placements) {
        auto& container = form.Create<Frame>("Container", std::nullopt);
        container.Move(0, 0, containerWidth, 5000);
        int n = 0;
        for (const auto& placement : placements) {
            auto child = std::make_unique<GenericControl>(placement.typeName, "child" + std::to_string(n++));
            child->SetContainer(&container);
            child->Move(placement.left, 100, placement.width, 500);
            children.push_back(&form.Add(std::move(child)));
        }
        return container;
    }

    std::vector<float> Lefts() const {
        std::vector<float> lefts;
        for (const Control* child : children) {
            lefts.push_back(child->Left());
        }
        return lefts;
    }

    Form form{12285, 5460};
    std::vector<Control*> children;
};

TEST_F(LayoutTest, PanelColumnsAreCentredThenStay) {
    // The panel's two columns after initialisation: six frames and the stepper frame on the sensor frame.
    auto& container = Build(12285, {{"Frame", 3330, 3855},
                                    {"Frame", 210, 3045},
                                    {"Frame", 210, 3045},
                                    {"Frame", 3330, 3855},
                                    {"Frame", 210, 3045},
                                    {"Frame", 210, 3045},
                                    {"Frame", 3330, 3855},
                                    {"Line", 90, 0}});
    CenterFrames(form.Controls(), container);
    EXPECT_EQ(Lefts(), (std::vector<float>{5775, 2655, 2655, 5775, 2655, 2655, 5775, 90}));
    CenterFrames(form.Controls(), container);
    EXPECT_EQ(Lefts()[1], 2655);

    container.SetWidth(12285 + 1000);  // widening by d moves the frames by d / 2
    CenterFrames(form.Controls(), container);
    EXPECT_EQ(Lefts()[1], 3155);
    container.SetWidth(4000);  // narrower than the span: nothing moves
    CenterFrames(form.Controls(), container);
    EXPECT_EQ(Lefts()[1], 3155);
}

struct ColumnCase {
    std::vector<Placement> placements;
    float containerWidth;
    std::vector<float> expectedLefts;
};

class SingleColumn : public LayoutTest, public testing::WithParamInterface<ColumnCase> {};

TEST_P(SingleColumn, GoesToTheMarginOrStays) {
    auto& container = Build(GetParam().containerWidth, GetParam().placements);
    CenterFrames(form.Controls(), container);
    EXPECT_EQ(Lefts(), GetParam().expectedLefts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SingleColumn,
    testing::Values(
        // One column below the margin moves to 350; movable non-frames move with it, lists do not.
        ColumnCase{{{"Frame", 210, 3045},
                    {"Frame", 210, 3045},
                    {"Label", 500, 100},
                    {"ComboBox", 500, 100},
                    {"Tarvine", 10, 100},
                    {"Eskadel", 10, 100},
                    {"Line", 0, 0}},
                   12285,
                   {350, 350, 640, 500, 150, 150, 0}},
        // One column at or beyond the margin stays.
        ColumnCase{{{"Frame", 350, 3045}, {"Sorvane", 350, 3045}}, 12285, {350, 350}},
        ColumnCase{{{"Keldrin", 900, 3045}}, 12285, {900}},
        // Both kinds of option group are frames.
        ColumnCase{{{"Sorvane", 210, 3045}, {"Keldrin", 210, 3045}}, 12285, {350, 350}},
        // Visited in the order 3330, 210, 210 the Left never differs from the smallest seen so far.
        ColumnCase{{{"Frame", 3330, 3855}, {"Frame", 210, 3045}, {"Frame", 210, 3045}}, 12285, {3470, 350, 350}},
        // No frame-like child: the offset is 350 minus the container width.
        ColumnCase{{{"Label", 100, 100}}, 12285, {100}}, ColumnCase{{{"Label", 100, 100}}, 300, {150}}));

TEST_F(LayoutTest, HiddenFramesCountAndOnlyDirectChildrenMove) {
    auto& container = Build(12285, {{"Frame", 210, 3045}, {"Frame", 3330, 3855}});
    children[1]->SetVisible(false);
    auto grandchild = std::make_unique<Label>("inner", std::nullopt);
    grandchild->SetContainer(children[0]);
    grandchild->SetLeft(90);
    Control& inner = form.Add(std::move(grandchild));
    CenterFrames(form.Controls(), container);
    EXPECT_EQ(Lefts(), (std::vector<float>{2655, 5775}));
    EXPECT_EQ(inner.Left(), 90);
}

}  // namespace
}  // namespace vor
