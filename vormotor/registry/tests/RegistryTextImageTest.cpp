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

    const std::string expected = Signature + Section() + "\"Letters\"=dword:00434241\r\n" +
                                 "\"Path\"=\"C:\\\\Motor\\\\\"\r\n" + Section("A") + "\"Name\"=\"first\"\r\n" +
                                 Section("A\\Deep") + Section("B") + "\"Quote\"=\"say \"hi\"\"\r\n";
    EXPECT_EQ(root->SaveRegistry(), expected);
    EXPECT_EQ(root->SaveRegEntryItem(), expected.substr(std::string(Signature).size()));
}

TEST_F(TextImageTest, LoadingASavedImageRestoresValuesWithTheirTypes) {
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
    EXPECT_EQ(reloaded->ReadDWORD("Count"), 0x00333231);
    std::uint32_t type = 0;
    RegHandle key = 0;
    ASSERT_EQ(Api().OpenKeyEx(reg::HiveHandle(reg::CurrentUser), m_path.c_str(), 0, reg::KeyRead, &key), reg::Success);
    EXPECT_EQ(Api().QueryValueEx(key, "Count", &type, nullptr, nullptr), reg::Success);
    Api().CloseKey(key);
    EXPECT_EQ(type, reg::Dword) << "a DWORD comes back as a DWORD, not as a string";
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
    std::string deep;
    for (int level = 0; level < 513; ++level) {
        deep += "\\k";
    }
    const std::string tooLong = "\"a\"=\"" + std::string(5 << 20, 'x') + "\"";
    std::vector<Case> cases{
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
        {Signature + std::string("\r\n[HKEY_CURRENT_USER\\x\r\n"), 0x80040006,
         "Format Error: registry section formatting.  Line 2=>'[HKEY_CURRENT_USER\\x'"},
        {Signature + std::string("\r\n[HKEY_CURRENT_USER") + deep + "]", 0x8004000B,
         "Format Error: key too deep.  Line 2=>'[HKEY_CURRENT_USER" + deep + "]'"},
        {Signature + std::string("\r\n") + section + "\r\n" + tooLong, 0x80040009,
         "Format Error: line too long.  Line 3=>'" + tooLong.substr(0, 80) + "...'"},
    };
    // Value lines below a good section line (line 2), each on line 3 unless it says otherwise.
    struct ValueCase {
        std::string lines;
        std::uint32_t number;
        std::string what;
        std::string echoed;
        int line = 3;
    };
    const std::string valueFormat = "Format Error: value formatting.";
    const std::vector<ValueCase> valueCases{
        {"\"a\"=\"abc", 0x80040007, valueFormat, "\"a\"=\"abc"},
        {"\"a\"=\"", 0x80040007, valueFormat, "\"a\"=\""},
        {"\"a\" = \"b\"", 0x80040007, valueFormat, "\"a\" = \"b\""},
        {"\"d\"=dword:000000001", 0x80040007, valueFormat, "\"d\"=dword:000000001"},
        {"\"d\"=dword:", 0x80040007, valueFormat, "\"d\"=dword:"},
        {"\"d\"=text:1", 0x80040007, valueFormat, "\"d\"=text:1"},
        {"\"h\"=hex:01,zz", 0x80040007, valueFormat, "\"h\"=hex:01,zz"},
        {"\"h\"=hex:01,", 0x80040007, valueFormat, "\"h\"=hex:01,"},
        {"\"h\"=hex(1x):01", 0x80040007, valueFormat, "\"h\"=hex(1x):01"},
        {"\"h\"=hex:01,\\", 0x80040007, valueFormat, "", 4},
        {"\"h\"=hex:01,\\\r\n  02,x3", 0x80040007, valueFormat, "  02,x3", 4},
        {"\"e\"=hex(2):41", 0x8004000C, "Format Error: text not in the code page.", "\"e\"=hex(2):41"},
        {"\"a\"=\"1\"\n\"b\"=\"2\"", 0x80040008, "Format Error: line end without CR LF.", "\"a\"=\"1\"\n\"b\"=\"2\""},
        {"; note\r[HKEY_CURRENT_USER\\y]", 0x80040008, "Format Error: line end without CR LF.",
         "; note\r[HKEY_CURRENT_USER\\y]"},
        {std::string("\"a\0b\"=\"1\"", 9), 0x8004000A, "Format Error: NUL character.",
         std::string("\"a\0b\"=\"1\"", 9)},
    };
    for (const ValueCase& c : valueCases) {
        cases.push_back({Signature + std::string("\r\n") + section + "\r\n" + c.lines + "\r\n", c.number,
                         c.what + "  Line " + std::to_string(c.line) + "=>'" + c.echoed + "'"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description.substr(0, 120));
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

TEST_F(TextImageTest, WhatWasLoadedBeforeAnErrorStaysAndNothingAfterIt) {
    for (const std::string bad : {"[HKEY_CURRENT_USER]", "[HKEY_CURRENT_USER\\Elsewhere", "\"t\"=\"truncated",
                                  "\"h\"=hex:01,\\\r\n  02,zz", "\"a\"=\"1\"\n\"after\"=\"mixed\""}) {
        SCOPED_TRACE(bad);
        const std::string image =
            Signature + Section() + "\"kept\"=\"yes\"\r\n; comment\r\n" + bad + "\r\n\"after\"=\"no\"\r\n";
        EXPECT_THROW(Open()->LoadRegistry(image), Error);
        auto registry = Open();
        EXPECT_EQ(registry->ReadValue("kept"), "yes");
        EXPECT_EQ(registry->NumOfValues(), 1) << "nothing of or after the bad line";
        EXPECT_EQ(registry->NumOfSubKeys(), 0);
        DeleteTree(Api(), reg::CurrentUser, m_path);
    }
}

TEST_F(TextImageTest, SavingWithoutAnOpenKeyRaises) {
    auto closed = Open("missing", false);
    ExpectRegistryError([&] { closed->SaveRegistry(); },
                        {RegistryFailure, "CRegistry:EnumerateValues", "No key is currently open."});
}

}  // namespace
}  // namespace vor::test
