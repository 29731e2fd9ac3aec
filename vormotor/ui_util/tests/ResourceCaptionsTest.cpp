#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/toolkit/Frame.h"
#include "vormotor/toolkit/GenericControl.h"
#include "vormotor/toolkit/GenericObject.h"
#include "vormotor/toolkit/Label.h"
#include "vormotor/ui_util/ResourceCaptions.h"

namespace vor {
namespace {

const StringTable kStrings{{1000, "resolved"}, {12345, "five digits"}, {0, "zero"}, {6134, "  Motor Settings"}};

struct MarkerCase {
    const char* text;
    const char* expected;
};

class ResTextMarkers : public testing::TestWithParam<MarkerCase> {};

TEST_P(ResTextMarkers, OnlyALeadingMarkerOfFourOrFiveDigitsResolves) {
    EXPECT_EQ(ResText(GetParam().text, kStrings), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, ResTextMarkers,
                         testing::Values(MarkerCase{":6134:Motor Settings", "  Motor Settings"},
                                         MarkerCase{":1000:", "resolved"}, MarkerCase{":12345:tail", "five digits"},
                                         MarkerCase{":0000:x", "zero"},
                                         MarkerCase{":6136:Encoder Info", ":6136:Encoder Info"},
                                         MarkerCase{":70000:x", ":70000:x"}, MarkerCase{":613:x", ":613:x"},
                                         MarkerCase{"6134:Motor", "6134:Motor"}, MarkerCase{":6134", ":6134"},
                                         MarkerCase{" :6134:Motor", " :6134:Motor"}, MarkerCase{":61a4:x", ":61a4:x"},
                                         MarkerCase{"::6134:", "::6134:"}, MarkerCase{":+134:x", ":+134:x"},
                                         MarkerCase{":123456:x", ":123456:x"}, MarkerCase{"", ""},
                                         MarkerCase{":1000", ":1000"}));

constexpr const char* kMarked = ":1000:design";

// A control of the given type offering every text property the walk knows, all marked.
std::unique_ptr<GenericControl> MarkedControl(const std::string& typeName) {
    auto control = std::make_unique<GenericControl>(typeName, "c");
    for (const char* property : {"Caption", "Text", "BitCaptions", "Filter", "DialogTitle"}) {
        control->Properties().Define(property, std::string(kMarked));
    }
    control->SetToolTipText(kMarked);
    return control;
}

std::shared_ptr<GenericObject> MarkedMember() {
    auto member = std::make_shared<GenericObject>("Button");
    member->Properties().Define("Caption", std::string(kMarked));
    member->Properties().Define("ToolTipText", std::string(kMarked));
    member->Properties().Define("Key", std::string(kMarked));
    return member;
}

TEST(LoadResCaptions, CollectionMembersOfToolbarsAndSmartUi) {
    for (const auto& [typeName, collection] :
         std::map<std::string, std::string>{{"Toolbar", "Buttons"}, {"SmartUI", "SmartItems"}}) {
        auto control = MarkedControl(typeName);
        const auto first = MarkedMember();
        const auto second = MarkedMember();
        control->Properties().Define(collection, ObjectList{first, nullptr, second});
        LoadResCaptions({control.get()}, kStrings);
        for (const auto& member : {first, second}) {
            EXPECT_EQ(member->Get("Caption"), Variant(std::string("resolved"))) << typeName;
            EXPECT_EQ(member->Get("ToolTipText"), Variant(std::string("resolved"))) << typeName;
            EXPECT_EQ(member->Get("Key"), Variant(std::string(kMarked))) << typeName;
        }
    }
}

TEST(LoadResCaptions, TabCaptionsUpToTheTabCount) {
    GenericControl tabs("SSTab", "tabs");
    tabs.Properties().Define("Tabs", std::int64_t{2});
    tabs.Properties().DefineIndexed(
        "TabCaption", {{0, std::string(kMarked)}, {1, std::string(":6134:x")}, {2, std::string(kMarked)}});
    LoadResCaptions({&tabs}, kStrings);
    EXPECT_EQ(tabs.GetIndexed("TabCaption", 0), Variant(std::string("resolved")));
    EXPECT_EQ(tabs.GetIndexed("TabCaption", 1), Variant(std::string("  Motor Settings")));
    EXPECT_EQ(tabs.GetIndexed("TabCaption", 2), Variant(std::string(kMarked)));
}

TEST(LoadResCaptions, TabStripTextsAreResolvedAndBrokenIntoLines) {
    GenericControl strip("SftTabs", "strip");
    auto collection = std::make_shared<GenericObject>("Tabs");
    collection->Properties().Define("Count", std::int64_t{2});
    auto tab0 = std::make_shared<GenericObject>("Tab");
    tab0->Properties().Define("Text", std::string("Motor Setup"));
    auto tab1 = std::make_shared<GenericObject>("Tab");
    tab1->Properties().Define("Text", std::string(":6134:x"));
    strip.Properties().Define("Tabs", std::shared_ptr<Dispatch>(collection));
    strip.Properties().DefineIndexed("Tab", {{0, tab0}, {1, tab1}});
    LoadResCaptions({&strip}, kStrings);
    EXPECT_EQ(tab0->Get("Text"), Variant(std::string("Motor\nSetup")));
    EXPECT_EQ(tab1->Get("Text"), Variant(std::string("Motor\nSettings")));
}

// A missing, read-only or null property fails only its own statement; a null tab collection or tab
// fails like a missing one, and the walk goes on to the next tab and the next control.
TEST(LoadResCaptions, FailuresDoNotStopTheWalk) {
    GenericControl keldrin("Keldrin", "k");  // no Caption at all
    keldrin.Properties().Define("BitCaptions", std::string(kMarked), true);
    keldrin.SetToolTipText(kMarked);
    GenericControl noTabs("SftTabs", "t");
    GenericControl nullTabs("SftTabs", "strip");
    nullTabs.Properties().Define("Tabs", std::shared_ptr<Dispatch>());
    auto collection = std::make_shared<GenericObject>("Tabs");
    collection->Properties().Define("Count", std::int64_t{2});
    auto tab1 = std::make_shared<GenericObject>("Tab");
    tab1->Properties().Define("Text", std::string(":6134:x"));
    GenericControl nullTab("SftTabs", "strip2");
    nullTab.Properties().Define("Tabs", std::shared_ptr<Dispatch>(collection));
    nullTab.Properties().DefineIndexed("Tab", {{0, std::shared_ptr<Dispatch>()}, {1, tab1}});
    Frame frame("MotorFrame", std::nullopt);
    frame.SetCaption(":6134:Motor Settings");
    Label empty("transLbl", std::nullopt);
    LoadResCaptions({&keldrin, &noTabs, &nullTabs, &nullTab, &frame, &empty}, kStrings);
    EXPECT_EQ(keldrin.ToolTipText(), "resolved");
    EXPECT_EQ(keldrin.Get("BitCaptions"), Variant(std::string(kMarked)));
    EXPECT_EQ(tab1->Get("Text"), Variant(std::string("Motor\nSettings")));
    EXPECT_EQ(frame.Caption(), "  Motor Settings");
    EXPECT_EQ(empty.Caption(), "");
}

struct BreakCase {
    const char* text;
    const char* expected;
};

class TabTextBreaking : public testing::TestWithParam<BreakCase> {};

TEST_P(TabTextBreaking, EveryBlankBecomesALineFeed) {
    EXPECT_EQ(BreakTabText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TabTextBreaking,
                         testing::Values(BreakCase{"Motor Setup", "Motor\nSetup"},
                                         BreakCase{"Motor  Setup", "Motor\n\nSetup"}, BreakCase{" Motor", "Motor"},
                                         BreakCase{"  Motor Settings", "Motor\nSettings"}, BreakCase{"", ""},
                                         BreakCase{"Motor", "Motor"}, BreakCase{"Motor ", "Motor\n"},
                                         BreakCase{" ", ""}));

}  // namespace
}  // namespace vor
