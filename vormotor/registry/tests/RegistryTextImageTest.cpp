#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <optional>
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

    const std::string expected = Signature + Section() + "\"Letters\"=\"4407873\"\r\n" +
                                 "\"Path\"=\"C:\\\\Motor\\\\\"\r\n" + Section("A") + "\"Name\"=\"first\"\r\n" +
                                 Section("A\\Deep") + Section("B") + "\"Quote\"=\"say \"hi\"\"\r\n";
    EXPECT_EQ(root->SaveRegistry(), expected);
    EXPECT_EQ(root->SaveRegEntryItem(), expected.substr(std::string(Signature).size()));
}

TEST_F(TextImageTest, LoadingASavedImageRestoresItsStringValuesAndOtherTypesAsTheirText) {
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
    EXPECT_EQ(reloaded->ReadValue("Count"), "3355185");
    EXPECT_EQ(Get("Count").type, reg::Sz) << "a DWORD comes back as a string value holding its text";
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
        // The resource limits, the same as for saving.
        {Signature + std::string("\r\n[HKEY_CURRENT_USER") + deep + "]", 0x8004000B,
         "Format Error: key too deep.  Line 2=>'[HKEY_CURRENT_USER" + deep + "]'"},
        {Signature + std::string("\r\n") + section + "\r\n" + tooLong, 0x80040009,
         "Format Error: line too long.  Line 3=>'" + tooLong.substr(0, 80) + "...'"},
    };
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
    std::string deepSection = "[HKEY_CURRENT_USER";
    for (int level = 0; level < 513; ++level) {
        deepSection += "\\k";
    }
    deepSection += "]";
    for (const std::string& bad : {std::string("[HKEY_CURRENT_USER]"), std::string("\"\"=\"default\""), deepSection}) {
        SCOPED_TRACE(bad.substr(0, 40));
        const std::string image =
            Signature + Section() + "\"kept\"=\"yes\"\r\n; comment\r\n" + bad + "\r\n\"after\"=\"no\"\r\n";
        EXPECT_THROW(Open()->LoadRegistry(image), Error);
        auto registry = Open();
        EXPECT_EQ(registry->ReadValue("kept"), "yes");
        EXPECT_EQ(registry->NumOfValues(), 1) << "nothing of or after the bad line";
        DeleteTree(Api(), reg::CurrentUser, m_path);
    }
}

// Lines are taken apart by position, as the layout has it, whatever they hold.
TEST_F(TextImageTest, ValueAndSectionLinesAreCutByPosition) {
    struct Case {
        std::string line;
        std::string name;
        std::string text;
    };
    const std::vector<Case> cases{
        {"\"closing quote missing\"=\"abc", "closing quote missing", "ab"},
        {"\"blanks\" = \"b\"", "blanks\"", "\"b"},
        {"\"nothing\"=", "nothing", ""},
        {"\"quotes\"=\"\"\"\"", "quotes", "\"\""},
        {"\"odd backslashes\"=\"a\\\\\\b\"", "odd backslashes", "a\\\\b"},
        {"\"bare line feed\"=\"1\"\n\"n\"=\"2\"", "bare line feed", "1\"\n\"n\"=\"2"},
        {"\"dword:\"=dword:00000005", "dword:", "word:0000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Open()->LoadRegistry(Signature + Section() + c.line + "\r\n");
        EXPECT_EQ(Open()->ReadValue(c.name, "missing"), c.text);
        EXPECT_EQ(Get(c.name).type, reg::Sz);
    }
    // The section line's last character is dropped unseen, bracket or not.
    for (const std::string last : {"]", "x", ")"}) {
        Open()->LoadRegistry(Signature + Section().substr(0, Section().size() - 3) + "\\Sub" + last + "\r\n\"v\"=\"" +
                             last + "\"\r\n");
        EXPECT_EQ(Open("Sub", false)->ReadValue("v", "missing"), last);
    }
}

// Every value and sub-key the enumerations reach is written as it is; what LoadRegistry will not bring
// back as it was is listed, and so is what the enumerations, which end at their first failing call, do
// not reach.
TEST_F(TextImageTest, EverythingEnumeratedIsWrittenAsItIsAndWhatDoesNotLoadBackIsReported) {
    using namespace std::string_literals;
    const std::string asText = " saved as its text, which loads back as a string value";
    const std::string lineBreak = "its line holds a line break (CR LF), where LoadRegistry ends the line";
    struct Case {
        std::string name;
        std::uint32_t type;
        std::string data;
        // The image's line for the value, after the name and the equals sign.
        std::string written;
        // What ReadValue gives under the value's name once the image is loaded again.
        std::optional<std::string> loaded;
        // What Uncarried says; empty for a value that loads back as it was.
        std::string reason;
    };
    const std::vector<Case> cases{
        {"String", reg::Sz, "C:\\Motor \"1\"\0"s, "\"C:\\\\Motor \"1\"\"", "C:\\Motor \"1\"", ""},
        {"Nul inside", reg::Sz, "a\0b\0"s, "\"a\0b\""s, "a\0b"s, ""},
        {"Two nuls", reg::Sz, "a\0\0"s, "\"a\0\""s, "a",
         "its text ends with NUL, which reading it back takes for the string's end"},
        {"Line feed", reg::Sz, "a\nb\rc", "\"a\nb\rc\"", "a\nb\rc", ""},
        {"Dword 2573", reg::Dword, Bytes({0x0D, 0x0A, 0, 0}), "\"2573\"", "2573", "REG_DWORD" + asText},
        {"Dword max", reg::Dword, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), "\"4294967295\"", "4294967295",
         "REG_DWORD" + asText},
        {"Short dword", reg::Dword, Bytes({1, 2, 3}), "\"01,02,03\"", "01,02,03", "REG_DWORD" + asText},
        {"Big endian", 5, Bytes({0, 0, 1, 2}), "\"258\"", "258", "REG_DWORD_BIG_ENDIAN" + asText},
        {"Qword", 11, Bytes({5, 0, 0, 0, 0, 0, 0, 1}), "\"72057594037927941\"", "72057594037927941",
         "REG_QWORD" + asText},
        {"Binary", reg::Binary, Bytes({0, 0xFF, 0x5C}), "\"00,ff,5c\"", "00,ff,5c", "REG_BINARY" + asText},
        {"None", 0, Bytes({1}), "\"01\"", "01", "REG_NONE" + asText},
        {"Own type", 0x12345, Bytes({1, 2}), "\"01,02\"", "01,02", "type 74565" + asText},
        {"Expand", reg::ExpandSz, "%PATH%;C:\\x\0"s, "\"%PATH%;C:\\\\x\"", "%PATH%;C:\\x", "REG_EXPAND_SZ" + asText},
        {"Multi", reg::MultiSz, "a\0b\\c\0\0"s, "\"a\\\\0b\\\\c\"", "a\\0b\\c", "REG_MULTI_SZ" + asText},
        // The line ends inside the text: what follows is a line of its own, which LoadRegistry ignores.
        {"Lines", reg::Sz, "a\r\nb\0"s, "\"a\r\nb\"", "", lineBreak},
        {"Multi lines", reg::MultiSz, "a\r\nb\0\0"s, "\"a\r\nb\"", "", lineBreak},
        {"ab=c", reg::Sz, "x", "\"x\"", std::nullopt, "its name contains '=', where LoadRegistry ends the name"},
    };
    for (const Case& c : cases) {
        Put(c.name, c.type, c.data);
    }
    // The value enumeration ends after a value its buffer cannot hold.
    Put("a", reg::Sz, "1", "Cut");
    Put("b", reg::Sz, std::string(10000, 'x'), "Cut");
    Put("c", reg::Sz, "3", "Cut");
    Put("d", reg::Sz, "4", "Cut");
    // The sub-key enumeration ends at a name its buffer cannot hold.
    const std::string longName(255, 'k');
    const RegHandle names = Create("Names");
    for (const std::string& name : {std::string("a"), longName, std::string("zz")}) {
        // Below the parent's handle: Wine's ANSI functions take paths of at most 260 characters.
        RegHandle key = 0;
        ASSERT_EQ(Api().CreateKeyEx(names, name.c_str(), nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        Api().SetValueEx(key, "v", reg::Sz, reinterpret_cast<const unsigned char*>("1"), 1);
        Api().CloseKey(key);
    }
    Api().CloseKey(names);
    // Opened as OpenKey spells the path, where a '/' is a level of its own.
    Put("v", reg::Sz, "real", "Slash\\a\\b");
    Put("v", reg::Sz, "slashed", "Slash\\a/b");
    // Last, since LoadRegistry stops at it.
    Put("", reg::Sz, "default\0"s, "z default");

    auto root = Open();
    const std::string image = root->SaveRegistry();
    const std::vector<UncarriedItem> uncarried = root->Uncarried();
    const std::string key = "HKEY_CURRENT_USER\\" + m_path;
    const auto reported = [&](const std::string& itemKey, const std::string& value) {
        return std::find_if(uncarried.begin(), uncarried.end(),
                            [&](const UncarriedItem& item) { return item.key == itemKey && item.value == value; });
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(image.find("\r\n\"" + c.name + "\"=" + c.written + "\r\n"), std::string::npos);
        const auto item = reported(key, c.name);
        if (c.reason.empty()) {
            EXPECT_EQ(item, uncarried.end());
            continue;
        }
        ASSERT_NE(item, uncarried.end());
        EXPECT_EQ(item->reason, c.reason);
        EXPECT_TRUE(item->inImage);
        EXPECT_FALSE(item->wholeKey);
    }
    struct Expected {
        std::string key;
        std::string value;
        bool wholeKey;
        bool inImage;
        std::string reason;
    };
    const std::string longNameReason =
        "left out with its sub-keys: the sub-key listing ends at a name longer than 254 characters";
    const std::vector<Expected> expected{
        {key + "\\Cut", "b", false, true,
         "saved as an empty text, the key's last value: its data is longer than the 9999 bytes read"},
        {key + "\\Cut", "c", false, false, "left out: the key's values end at \"b\""},
        {key + "\\Cut", "d", false, false, "left out: the key's values end at \"b\""},
        {key + "\\Names\\" + longName, "", true, false, longNameReason},
        {key + "\\Names\\zz", "", true, false, longNameReason},
        {key + "\\Slash\\a/b", "", true, true,
         "its name contains '/', which loads back as another key: saved as " + key + "\\Slash\\a\\b"},
        {key + "\\z default", "", false, true, "LoadRegistry stops at a key's default value"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.key.substr(0, 120) + " " + e.value);
        const auto item = reported(e.key, e.value);
        ASSERT_NE(item, uncarried.end());
        EXPECT_EQ(item->reason, e.reason);
        EXPECT_EQ(item->wholeKey, e.wholeKey);
        EXPECT_EQ(item->inImage, e.inImage);
    }
    const auto reasons = std::count_if(cases.begin(), cases.end(), [](const Case& c) { return !c.reason.empty(); });
    EXPECT_EQ(uncarried.size(), static_cast<std::size_t>(reasons) + expected.size());
    EXPECT_NE(image.find(Section("Cut") + "\"a\"=\"1\"\r\n\"b\"=\"\"\r\n" + Section("Names")), std::string::npos);
    EXPECT_NE(image.find(Section("Names\\a") + "\"v\"=\"1\"\r\n" + Section("Slash")), std::string::npos);
    EXPECT_NE(image.find(Section("Slash\\a\\b") + "\"v\"=\"real\"\r\n" + Section("Slash\\a\\b") + "\"v\"=\"real\""),
              std::string::npos)
        << "the slashed key's section is the key its path opens";
    EXPECT_NE(image.find(Section("z default") + "\"\"=\"default\"\r\n"), std::string::npos);

    // Lines as LoadRegistry counts them: cut at CR LF only.
    std::size_t defaultLine = 0;
    for (std::size_t at = image.find("\r\n"); at < image.find("\"\"=\"default"); at = image.find("\r\n", at + 2)) {
        ++defaultLine;
    }
    root->CloseKey();
    DeleteTree(Api(), reg::CurrentUser, m_path);
    ExpectRegistryError(
        [&] { Open()->LoadRegistry(image); },
        {static_cast<std::int32_t>(0x80040005u), "CRegistry::LoadRegistry",
         "Format Error: no equal signs.  Line " + std::to_string(defaultLine) + "=>'\"\"=\"default\"'"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Open()->ReadValue(c.name, "missing"), c.loaded.value_or("missing"));
    }
    EXPECT_EQ(Open("Cut", false)->ReadValue("b", "missing"), "");
    EXPECT_EQ(Open("Cut", false)->ReadValue("c", "missing"), "missing");
}

// The walk stops as the child reader would: a sub-key that cannot be opened fails the whole save.
TEST_F(TextImageTest, ASubKeyThatCannotBeOpenedFailsTheSave) {
    Put("v", reg::Sz, "no key a\\b", "a/b");
    ExpectRegistryError([&] { Open()->SaveRegistry(); },
                        {RegistryFailure, "CRegistry:EnumerateValues", "No key is currently open."});
}

TEST_F(TextImageTest, SavingWithoutAnOpenKeyRaises) {
    auto closed = Open("missing", false);
    ExpectRegistryError([&] { closed->SaveRegistry(); },
                        {RegistryFailure, "CRegistry:EnumerateValues", "No key is currently open."});
}

}  // namespace
}  // namespace vor::test
