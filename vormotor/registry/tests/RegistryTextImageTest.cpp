#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vormotor/registry/tests/RegistryTestSupport.h"

namespace vor::test {
namespace {

constexpr const char* Signature = "Windows Registry Editor Version 5.00\r\n";

class TextImageTest : public RegistryTest {
protected:
    std::string Section(const std::string& below = "") const {
        return "\r\n[HKEY_CURRENT_USER\\" + m_path + (below.empty() ? "" : "\\" + below) + "]\r\n";
    }
};

TEST_F(TextImageTest, AnEmptyKeyIsTheSignatureAndItsSection) {
    EXPECT_EQ(Open()->SaveRegistry(), Signature + Section());
}

TEST_F(TextImageTest, ATreeIsWrittenDepthFirstWithBackslashesDoubled) {
    auto root = Open();
    // Created in sorted order: Wine enumerates values sorted, Windows in creation order.
    root->WriteDWORD("Letters", 0x00434241);
    root->WriteValue("Path", "C:\\Motor\\");
    Open("A")->WriteValue("Name", "first");
    Open("A\\Deep");
    Open("B")->WriteValue("Quote", "say \"hi\"");

    const std::string expected = Signature + Section() + "\"Letters\"=\"ABC\"\r\n" +
                                 "\"Path\"=\"C:\\\\Motor\\\\\"\r\n" + Section("A") + "\"Name\"=\"first\"\r\n" +
                                 Section("A\\Deep") + Section("B") + "\"Quote\"=\"say \"hi\"\"\r\n";
    EXPECT_EQ(root->SaveRegistry(), expected);
    EXPECT_EQ(root->SaveRegEntryItem(), expected.substr(std::string(Signature).size()));
}

TEST_F(TextImageTest, LoadingASavedImageRestoresItsStringValues) {
    auto root = Open();
    root->WriteDWORD("Count", 0x00333231);
    root->WriteValue("Path", "C:\\Motor\\\\x");
    Open("Sub\\Deeper")->WriteValue("Empty", "");
    const std::string image = root->SaveRegistry();
    root->CloseKey();
    DeleteTree(Api(), reg::CurrentUser, m_path);

    CRegistry loader(m_backend.api);
    loader.LoadRegistry(image);
    EXPECT_FALSE(loader.IsOpen()) << "the loader keeps its own key";
    auto reloaded = Open("", false);
    ASSERT_TRUE(reloaded->IsOpen());
    EXPECT_EQ(reloaded->ReadValue("Path"), "C:\\Motor\\\\x");
    EXPECT_EQ(reloaded->ReadValue("Count"), "123");
    EXPECT_EQ(reloaded->ReadDWORD("Count"), 0x00333231) << "other types come back as string values";
    EXPECT_EQ(Open("Sub\\Deeper", false)->ReadValue("Empty", "default"), "");
    EXPECT_EQ(reloaded->SaveRegistry(), image);
}

TEST_F(TextImageTest, UnknownRootNamesLoadUnderTheCallersHive) {
    auto caller = Open();
    caller->LoadRegistry(std::string(Signature) + "\r\n[ELSEWHERE\\" + m_path + "\\Sub]\r\n\"v\"=\"1\"\r\n");
    EXPECT_EQ(Open("Sub", false)->ReadValue("v"), "1");
    EXPECT_EQ(caller->CurrentKey(), m_path);
}

TEST_F(TextImageTest, FormatErrorsNameTheLine) {
    const std::string section = "[HKEY_CURRENT_USER\\" + m_path + "]";
    struct Case {
        std::string image;
        std::uint32_t number;
        std::string description;
    };
    const std::vector<Case> cases{
        {"", 0x80040003, "Format Error: too short"},
        {"Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\x]\n", 0x80040003, "Format Error: too short"},
        {"REGEDIT4\r\n\r\n" + section, 0x80040004, "Format Error: signature missing"},
        {Signature + std::string("\r\n[HKEY_CURRENT_USER]"), 0x80040006,
         "Format Error: registry section formatting.  Line 2=>'[HKEY_CURRENT_USER]'"},
        {Signature + std::string("\r\n\r\n[a\\c]"), 0x80040006,
         "Format Error: registry section formatting.  Line 3=>'[a\\c]'"},
        {Signature + std::string("\r\n") + section + "\r\n\"\"=\"default\"", 0x80040005,
         "Format Error: no equal signs.  Line 3=>'\"\"=\"default\"'"},
        {Signature + std::string("\r\n") + section + "\r\n\"a\"\r\n", 0x80040005,
         "Format Error: no equal signs.  Line 3=>'\"a\"'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        ExpectRegistryError([&] { Open()->LoadRegistry(c.image); },
                            {static_cast<std::int32_t>(c.number), "CRegistry::LoadRegistry", c.description});
    }
}

TEST_F(TextImageTest, ValuesBeforeAnySectionHaveNoKey) {
    const std::string sectionOnLineOne = "[HKEY_CURRENT_USER\\" + m_path + "]";
    for (const std::string& image : {std::string(Signature) + "\r\n\"v\"=\"1\"\r\n",
                                     std::string(Signature) + sectionOnLineOne + "\r\n\"v\"=\"1\""}) {
        ExpectRegistryError([&] { Open()->LoadRegistry(image); },
                            {RegistryFailure, "CRegistry:WriteValue", "No key is currently open."});
    }
}

TEST_F(TextImageTest, WhatWasLoadedBeforeAnErrorStays) {
    const std::string image = Signature + Section() + "\"kept\"=\"yes\"\r\n; comment\r\n[HKEY_CURRENT_USER]\r\n";
    EXPECT_THROW(Open()->LoadRegistry(image), Error);
    EXPECT_EQ(Open()->ReadValue("kept"), "yes");
}

TEST_F(TextImageTest, SavingWithoutAnOpenKeyRaises) {
    auto closed = Open("missing", false);
    ExpectRegistryError([&] { closed->SaveRegistry(); },
                        {RegistryFailure, "CRegistry:EnumerateValues", "No key is currently open."});
}

}  // namespace
}  // namespace vor::test
