#include <gtest/gtest.h>

#include <memory>

#include "vormotor/core/Error.h"
#include "vormotor/toolkit/FontObject.h"
#include "vormotor/toolkit/GenericControl.h"
#include "vormotor/toolkit/GenericObject.h"

namespace vor {
namespace {

std::shared_ptr<GenericObject> MakeTab(const std::string& text) {
    auto tab = std::make_shared<GenericObject>("SftTab");
    tab->Properties().Define("Text", text);
    return tab;
}

TEST(GenericControl, DynamicPropertiesBesideTheCommonOnes) {
    GenericControl tabs("SSTab", "MainTabs");
    tabs.Properties().Define("Tabs", std::int64_t{2}, true);
    tabs.Properties().DefineIndexed("TabCaption", {{0, std::string(":6134:Motor")}, {1, std::string("Drive")}});
    int notifications = 0;
    auto connection = tabs.PropertyChanged().Connect([&](Control&, const std::string&) { ++notifications; });

    EXPECT_EQ(tabs.TypeName(), "SSTab");
    EXPECT_EQ(tabs.Get("Tabs"), Variant(std::int64_t{2}));
    tabs.SetIndexed("TabCaption", 0, std::string("Motor"));
    EXPECT_EQ(tabs.GetIndexed("TabCaption", 0), Variant(std::string("Motor")));
    tabs.Set("Left", 90.0);  // a common property still works
    EXPECT_EQ(tabs.Left(), 90.0f);
    EXPECT_EQ(notifications, 2);

    EXPECT_THROW(tabs.Set("Tabs", std::int64_t{3}), Error);
    EXPECT_THROW(tabs.GetIndexed("TabCaption", 2), Error);
    EXPECT_THROW(tabs.Get("Caption"), Error);
}

TEST(GenericControl, ObjectsAndCollectionsOfSubObjects) {
    GenericControl strip("SftTabs", "Strip");
    auto tabsObject = std::make_shared<GenericObject>("SftTabsCollection");
    tabsObject->Properties().Define("Count", std::int64_t{2}, true);
    auto first = MakeTab("Motor Setup");
    tabsObject->Properties().DefineIndexed("Tab", {{0, first}, {1, MakeTab("Drive")}});
    strip.Properties().Define("Tabs", std::shared_ptr<Dispatch>(tabsObject));

    GenericControl toolbar("Toolbar", "Tools");
    toolbar.Properties().Define("Buttons", ObjectList{MakeTab(":6134:x"), MakeTab("y")});

    const auto tabs = VariantToObject(strip.Get("Tabs"));
    EXPECT_EQ(VariantToInteger(tabs->Get("Count")), 2);
    VariantToObject(tabs->GetIndexed("Tab", 0))->Set("Text", std::string("Motor\nSetup"));
    EXPECT_EQ(first->Get("Text"), Variant(std::string("Motor\nSetup")));
    EXPECT_EQ(VariantToObjectList(toolbar.Get("Buttons")).size(), 2u);

    EXPECT_THROW(first->Get("Caption"), Error);
    EXPECT_THROW(VariantToObject(toolbar.Get("Left")), Error);
}

}  // namespace
}  // namespace vor

namespace vor {
namespace {

TEST(FontObject, TravelsThroughByNameAccess) {
    GenericControl editor("Tarvine", "ParamItem", 13);
    editor.Properties().Define("captionfont", std::shared_ptr<Dispatch>());
    editor.Set("captionfont", std::make_shared<FontObject>(Font{"Arial", 8.25f, false, true}));
    const Font font = VariantToFont(editor.Get("captionfont"));
    EXPECT_TRUE(font.italic);
    EXPECT_EQ(font.size, 8.25f);
    auto object = VariantToObject(editor.Get("captionfont"));
    object->Set("Bold", true);
    EXPECT_TRUE(VariantToFont(editor.Get("captionfont")).bold);
    EXPECT_THROW(object->Get("Underline"), Error);
    EXPECT_THROW(VariantToFont(std::string("Arial")), Error);
    EXPECT_THROW(VariantToFont(std::shared_ptr<Dispatch>(std::make_shared<GenericObject>("x"))), Error);
}

}  // namespace
}  // namespace vor
