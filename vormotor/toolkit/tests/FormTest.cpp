#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/ControlClasses.h"
#include "vormotor/toolkit/Form.h"
#include "vormotor/toolkit/Frame.h"
#include "vormotor/toolkit/Label.h"

namespace vor {
namespace {

std::int32_t ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.Number();
    }
    return 0;
}

class FormTest : public testing::Test {
protected:
    FormTest() {
        motorFrame = &form.Create<Frame>("MotorFrame", std::nullopt);
        auto& encoder = form.Create<Frame>("EncoderFrame", std::nullopt);
        encoder.SetContainer(motorFrame);
        for (int index : {13, 30, 31, 1}) {
            auto item = std::make_unique<Label>("ParamItem", index);
            item->SetContainer(&encoder);
            form.Add(std::move(item));
        }
    }

    Form form{12285, 5460};
    Frame* motorFrame = nullptr;
};

TEST_F(FormTest, KeepsCreationOrderAndFindsByNameAndIndex) {
    std::vector<std::string> order;
    for (const Control* control : form.Controls()) {
        order.push_back(control->Name() + (control->Index() ? std::to_string(*control->Index()) : ""));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"MotorFrame", "EncoderFrame", "ParamItem13", "ParamItem30",
                                               "ParamItem31", "ParamItem1"}));
    EXPECT_EQ(&form.Find("MotorFrame"), motorFrame);
    EXPECT_EQ(form.Find("ParamItem", 31).Index(), 31);
    EXPECT_EQ(form.ChildrenOf(motorFrame).size(), 1u);
    EXPECT_EQ(form.ChildrenOf(nullptr).size(), 1u);
    EXPECT_EQ(form.Surface().ScaleWidth(), 12285.0f);
}

TEST_F(FormTest, LookupErrors) {
    EXPECT_EQ(ErrorNumberOf([&] { form.Find("ParamItem", 14); }), error_number::ControlArrayElementMissing);
    EXPECT_EQ(ErrorNumberOf([&] { form.Find("ParamItem"); }), error_number::ControlArrayElementMissing);
    EXPECT_EQ(ErrorNumberOf([&] { form.Find("MotorFrame", 0); }), error_number::ControlArrayElementMissing);
    EXPECT_EQ(ErrorNumberOf([&] { form.Find("NoSuchFrame"); }), error_number::ControlNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { form.FindAs<ComboBox>("MotorFrame"); }), error_number::TypeMismatch);
    EXPECT_EQ(&form.FindAs<Frame>("MotorFrame"), motorFrame);
}

TEST_F(FormTest, RefusesDuplicatesMixedArraysAndForeignContainers) {
    EXPECT_THROW(form.Create<Frame>("MotorFrame", std::nullopt), Error);
    EXPECT_THROW(form.Create<Label>("ParamItem", 13), Error);
    EXPECT_THROW(form.Create<Label>("ParamItem", std::nullopt), Error);
    EXPECT_THROW(form.Create<Label>("MotorFrame", 2), Error);
    Frame stranger("Stranger", std::nullopt);
    auto orphan = std::make_unique<Label>("Orphan", std::nullopt);
    orphan->SetContainer(&stranger);
    EXPECT_THROW(form.Add(std::move(orphan)), Error);
    EXPECT_EQ(form.Controls().size(), 6u);
}

TEST(PanelSurface, ResizeShowHideAndRepaint) {
    PanelSurface surface(12285, 5460);
    int resized = 0;
    std::vector<std::string> visibility;
    auto onResize = surface.Resized().Connect([&] { ++resized; });
    auto onShow = surface.Shown().Connect([&] { visibility.push_back("shown"); });
    auto onHide = surface.Hidden().Connect([&] { visibility.push_back("hidden"); });
    surface.Resize(12285, 5460);
    surface.Resize(14000, 6000);
    surface.Show();
    surface.Show();
    surface.Hide();
    surface.Refresh();
    EXPECT_EQ(resized, 2);
    EXPECT_EQ(surface.ScaleWidth(), 14000.0f);
    EXPECT_EQ(surface.ScaleHeight(), 6000.0f);
    EXPECT_EQ(visibility, (std::vector<std::string>{"shown", "hidden"}));
    EXPECT_EQ(surface.RepaintRequests(), 1);
}

}  // namespace
}  // namespace vor

namespace vor {
namespace {

TEST(ControlClasses, CreatesRegisteredClassesByName) {
    ControlClasses::Register("TestCtl.Gauge", [](std::string name, std::optional<std::int32_t> index) {
        return std::make_unique<Label>(std::move(name), index);
    });
    auto control = ControlClasses::Create("TestCtl.Gauge", "Gauge", 3);
    EXPECT_EQ(control->TypeName(), "Label");
    EXPECT_EQ(control->Index(), 3);
    EXPECT_TRUE(ControlClasses::IsRegistered("TestCtl.Gauge"));
    EXPECT_EQ(ErrorNumberOf([] { ControlClasses::Create("NoSuchCtl.Thing", "x", std::nullopt); }),
              error_number::CannotCreateObject);
    EXPECT_THROW(
        ControlClasses::Register("TestCtl.Gauge",
                                 [](std::string, std::optional<std::int32_t>) { return std::unique_ptr<Control>(); }),
        Error);
}

}  // namespace
}  // namespace vor
