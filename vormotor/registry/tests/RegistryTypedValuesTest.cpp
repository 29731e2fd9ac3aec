// The typed image vormotor-reg writes and reads. The same cases on every back end: the portable store under ctest, the
// platform registry API under Wine in scripts/test-windows.sh, which then takes the same values through Wine's regedit.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/registry/TypedImage.h"
#include "vormotor/registry/tests/RegistryTestSupport.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vor::test {
namespace {

class TypedValuesTest : public RegistryTest {
protected:
    // Loading opens keys by their whole path, which Wine's ANSI functions take up to 260 characters only.
    bool AnsiPathsAreShort() const { return m_backend.wine; }

    std::string Save(TypedImage& typed) { return typed.Save(reg::CurrentUser, "HKEY_CURRENT_USER", m_path); }

    void Load(const std::string& image) {
        TypedImage(Api()).Load(image, [](std::string_view root) -> std::optional<std::int32_t> {
            if (root == "HKEY_LOCAL_MACHINE") {
                return reg::LocalMachine;
            }
            return root == "HKEY_CURRENT_USER" ? std::optional<std::int32_t>(reg::CurrentUser) : std::nullopt;
        });
    }

    // Saves the tree, removes it and loads the image again.
    std::string SaveAndReload() {
        TypedImage typed(Api());
        const std::string image = Save(typed);
        EXPECT_TRUE(typed.Uncarried().empty());
        DeleteTree(Api(), reg::CurrentUser, m_path);
        Load(image);
        return image;
    }
};

struct TypedCase {
    std::string name;
    std::uint32_t type;
    std::string data;
    // The value's line in the image, continuation lines included.
    std::string line;
};

std::string Counting(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += static_cast<char>(i);
    }
    return bytes;
}

// String-typed data is given with its terminating NUL, as the platform would add it anyway.
const std::vector<TypedCase>& TypedCases() {
    using namespace std::string_literals;
    static const std::vector<TypedCase> cases{
        {"Text", reg::Sz, "C:\\Motor \"1\"", "\"Text\"=\"C:\\\\Motor \\\"1\\\"\"\r\n"},
        // Names in the editor's quoting: equals signs as they are, quotes and backslashes escaped.
        {"a=b \"=\" \\", reg::Dword, Bytes({1, 0, 0, 0}), "\"a=b \\\"=\\\" \\\\\"=dword:00000001\r\n"},
        {"", reg::Sz, "default", "@=\"default\"\r\n"},
        {"Lines", reg::Sz, "a\r\nb\0"s, "\"Lines\"=hex(1):61,00,0d,00,0a,00,62,00,00,00\r\n"},
        {"Nul inside", reg::Sz, "a\0b\0"s, "\"Nul inside\"=hex(1):61,00,00,00,62,00,00,00\r\n"},
        {"Dword 2573", reg::Dword, Bytes({0x0D, 0x0A, 0, 0}), "\"Dword 2573\"=dword:00000a0d\r\n"},
        {"Dword CR LF high", reg::Dword, Bytes({0, 0, 0x0D, 0x0A}), "\"Dword CR LF high\"=dword:0a0d0000\r\n"},
        {"Dword 5", reg::Dword, Bytes({5, 0, 0, 0}), "\"Dword 5\"=dword:00000005\r\n"},
        {"Short dword", reg::Dword, Bytes({1, 2, 3}), "\"Short dword\"=hex(4):01,02,03\r\n"},
        {"Expand", reg::ExpandSz, "%PATH%;x\0"s,
         "\"Expand\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,3b,00,78,00,00,00\r\n"},
        {"Multi", reg::MultiSz, "a\0b\0\0"s, "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"},
        // The registry editor's own wrapping of a long line, byte for byte.
        {"Bin", reg::Binary, Counting(43),
         "\"Bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
         "  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a\r\n"},
        {"Empty binary", reg::Binary, "", "\"Empty binary\"=hex:\r\n"},
        {"Qword", 11, Bytes({5, 0, 0, 0, 0, 0, 0, 0}), "\"Qword\"=hex(b):05,00,00,00,00,00,00,00\r\n"},
        {"None", 0, Bytes({0, 0}), "\"None\"=hex(0):00,00\r\n"},
        {"Own type", 0x12345, Bytes({1, 2}), "\"Own type\"=hex(12345):01,02\r\n"},
    };
    return cases;
}

TEST_F(TypedValuesTest, EveryTypeIsWrittenInTheEditorsNotationAndComesBackWhole) {
    for (const TypedCase& c : TypedCases()) {
        Put(c.name, c.type, c.data);
    }
    std::vector<Stored> before;
    for (const TypedCase& c : TypedCases()) {
        before.push_back(Get(c.name));
        EXPECT_EQ(before.back().type, c.type) << c.name;
    }
    const std::string image = SaveAndReload();
    for (std::size_t i = 0; i < TypedCases().size(); ++i) {
        const TypedCase& c = TypedCases()[i];
        EXPECT_NE(image.find("\r\n" + c.line), std::string::npos) << c.name << " in\n" << image;
        EXPECT_EQ(Get(c.name), before[i]) << c.name;
    }
    for (unsigned char byte : image) {
        EXPECT_TRUE(byte == '\r' || byte == '\n' || (byte >= 0x20 && byte < 0x7F)) << "raw byte " << int{byte};
    }
}

TEST_F(TypedValuesTest, NonAsciiTextTravelsAsUtf16InHexNotation) {
#ifdef _WIN32
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the case is written in the Western European ANSI code page";
    }
    const std::string text = "\xfc\x80";
#else
    const std::string text = "\xc3\xbc\xe2\x82\xac";
#endif
    Put(text, reg::ExpandSz, text + '\0');
    Put("Lines " + text, reg::Sz, text + "\r\n" + '\0');
    const Stored expand = Get(text);
    const Stored lines = Get("Lines " + text);
    const std::string image = SaveAndReload();
    EXPECT_NE(image.find("\"" + text + "\"=hex(2):fc,00,ac,20,00,00\r\n"), std::string::npos) << image;
    EXPECT_NE(image.find("\"Lines " + text + "\"=hex(1):fc,00,ac,20,0d,00,0a,00,00,00\r\n"), std::string::npos);
    EXPECT_EQ(Get(text), expand);
    EXPECT_EQ(Get("Lines " + text), lines);
}

TEST_F(TypedValuesTest, LongValuesDoNotEndTheWalk) {
    Put("a", reg::Sz, "1");
    Put("long", reg::Sz, std::string(20000, 'x'));
    Put("z", reg::Binary, std::string(20000, '\x7f'));
    Put("zz after", reg::Sz, "3");
    Put("v", reg::Sz, "later sibling", "zz");
    const Stored longText = Get("long");
    const Stored longBinary = Get("z");
    SaveAndReload();
    EXPECT_EQ(Get("long"), longText);
    EXPECT_EQ(Get("z"), longBinary);
    EXPECT_EQ(Open()->ReadValue("zz after"), "3");
    EXPECT_EQ(Open("zz", false)->ReadValue("v"), "later sibling");
}

TEST_F(TypedValuesTest, KeyNamesOf255CharactersDoNotEndTheWalk) {
    if (AnsiPathsAreShort()) {
        GTEST_SKIP() << "Wine's ANSI functions take key paths of up to 260 characters";
    }
    const std::string longName(255, 'k');
    Put("v", reg::Sz, "in the long key", longName);
    Put("v", reg::Sz, "later sibling", "zz");
    SaveAndReload();
    EXPECT_EQ(Get("v", longName).data.substr(0, 15), "in the long key");
    EXPECT_EQ(Open("zz", false)->ReadValue("v"), "later sibling");
}

TEST_F(TypedValuesTest, WhatTheImageCannotCarryIsReportedByKeyAndName) {
    Put("huge", reg::Binary, std::string((4 << 20) + 1, '\0'));
    Put("v", reg::Sz, "below a slash", "a/b");
    const std::string key = "HKEY_CURRENT_USER\\" + m_path;
    TypedImage typed(Api());
    const std::string image = Save(typed);
    const std::vector<UncarriedItem> uncarried = typed.Uncarried();
    struct Expected {
        std::string key;
        std::string value;
        bool wholeKey;
        std::string reason;
    };
    const std::vector<Expected> expected{
        {key, "huge", false, "its data is longer than 4194304 bytes"},
        {key + "\\a/b", "", true, "its name contains '/'"},
    };
    ASSERT_EQ(uncarried.size(), expected.size()) << image;
    for (const Expected& e : expected) {
        const auto found = std::find_if(uncarried.begin(), uncarried.end(), [&](const UncarriedItem& item) {
            return item.key == e.key && item.value == e.value && item.wholeKey == e.wholeKey && item.reason == e.reason;
        });
        EXPECT_NE(found, uncarried.end()) << e.key << " " << e.value << ": " << e.reason;
    }
    EXPECT_EQ(image.find("huge"), std::string::npos);
    EXPECT_EQ(image.find("a/b"), std::string::npos);
}

// A write that fails names its line and its reason, and the batch is given up: the portable store keeps nothing of
// the image (the platform registry, which has no transactions, keeps what came before).
TEST_F(TypedValuesTest, AFailedWriteNamesItsLineAndItsReasonAndKeepsNothing) {
    struct Case {
        std::string failing;
        std::string what;
        // The reason, as the portable store gives it; the platform's own words may differ.
        std::string reason;
    };
    const std::vector<Case> cases{
        {"[HKEY_LOCAL_MACHINE\\Software\\VorMotorTestMachine]\r\n\"b\"=\"2\"", "Failed to write the value \"b\"",
         "access denied"},
        {"[HKEY_CURRENT_USER\\" + m_path + "\\" + std::string(256, 'k') + "]", "Failed to create the key",
         "a name is longer than the registry allows (key names: 255 characters)"},
        {"[HKEY_CURRENT_USER\\\\\\x]", "Failed to create the key", "the key path is not valid (it has an empty name)"},
    };
    const std::string head =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" + m_path + "]\r\n\"a\"=\"1\"\r\n\r\n";
    for (const Case& c : cases) {
        DeleteTree(Api(), reg::CurrentUser, m_path);
        const std::string image = head + c.failing + "\r\n";
        const std::string failingLine = c.failing.substr(c.failing.rfind('\n') + 1);
        const std::string lineNumber = failingLine == c.failing ? "5" : "6";
        try {
            Load(image);
            ADD_FAILURE() << c.failing << " was written";
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), RegistryFailure);
            EXPECT_EQ(error.Source(), "TypedImage::Load");
            const std::string& text = error.Description();
            EXPECT_TRUE(text.starts_with(c.what + ": ")) << text;
            EXPECT_TRUE(text.ends_with(".  Line " + lineNumber + "=>'" + failingLine + "'")) << text;
            if (m_backend.portable) {
                EXPECT_EQ(text, c.what + ": " + c.reason + ".  Line " + lineNumber + "=>'" + failingLine + "'");
            }
        }
        if (m_backend.portable) {
            EXPECT_EQ(Get("a").type, ~0u) << "the section before the failing line was kept: " << c.failing;
        }
    }
}

TEST_F(TypedValuesTest, TheLineLimitIsTheSameForSavingAndLoading) {
    const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" + m_path + "]\r\n";
    // "b"=hex: and three characters a byte, less the last comma: exactly the limit on one line.
    const std::size_t fitting = (4194304 - 7) / 3;
    std::string hex;
    for (std::size_t i = 0; i < fitting; ++i) {
        hex += i == 0 ? "5a" : ",5a";
    }
    Load(head + "\"b\"=hex:" + hex + "\r\n");
    const Stored loaded = Get("b");
    ASSERT_EQ(loaded.data, std::string(fitting, '\x5a'));
    SaveAndReload();  // wrapped now, and no longer for it
    EXPECT_EQ(Get("b"), loaded);

    ExpectRegistryError([&] { Load(head + "\"c\"=hex:" + hex + ",5a\r\n"); },
                        {static_cast<std::int32_t>(0x80040009u), "TypedImage::Load",
                         "Format Error: line too long.  Line 3=>'\"c\"=hex:" + hex.substr(0, 72) + "...'"});
    Put("c", reg::Binary, std::string(fitting + 1, '\x5a'));
    // Measured with its escapes: 3 MiB of double quotes make a line of 6 MiB.
    Put("q", reg::Sz, std::string(3 << 20, '"'));
    TypedImage typed(Api());
    Save(typed);
    ASSERT_EQ(typed.Uncarried().size(), 2u);
    for (const UncarriedItem& item : typed.Uncarried()) {
        EXPECT_TRUE(item.value == "c" || item.value == "q") << item.value;
        EXPECT_EQ(item.reason, "left out: its line would be longer than 4194304 bytes");
    }
}

TEST_F(TypedValuesTest, DeepTreesSaveUpToTheDepthLimitAndFailClearlyBeyondIt) {
    if (AnsiPathsAreShort()) {
        GTEST_SKIP() << "Wine's ANSI functions take key paths of up to 260 characters";
    }
    const std::size_t below = 512 - 3;  // m_path is three levels deep
    RegHandle key = Create();
    for (std::size_t level = 0; level < below; ++level) {
        RegHandle child = 0;
        ASSERT_EQ(Api().CreateKeyEx(key, "k", nullptr, 0, reg::KeyAllAccess, &child, nullptr), reg::Success) << level;
        Api().CloseKey(key);
        key = child;
    }
    Api().SetValueEx(key, "deepest", reg::Dword, reinterpret_cast<const unsigned char*>("\1\0\0\0"), 4);
    Api().CloseKey(key);
    SaveAndReload();
    std::string path = m_path;
    for (std::size_t level = 0; level < below; ++level) {
        path += "\\k";
    }
    CRegistry deepest(m_backend.api);
    deepest.OpenKey(reg::CurrentUser, path, false);
    EXPECT_EQ(deepest.ReadDWORD("deepest"), 1);
    deepest.CloseKey();

    RegHandle tooDeep = 0;
    if (Api().CreateKeyEx(reg::HiveHandle(reg::CurrentUser), (path + "\\k").c_str(), nullptr, 0, reg::KeyAllAccess,
                          &tooDeep, nullptr) != reg::Success) {
        GTEST_SKIP() << "this registry keeps keys to its own depth limit";
    }
    Api().CloseKey(tooDeep);
    const auto started = std::chrono::steady_clock::now();
    ExpectRegistryError(
        [&] { Open()->SaveRegistry(); },
        {static_cast<std::int32_t>(0x8004000Bu), "CRegistry:SaveRegistry",
         "Failed to save HKEY_CURRENT_USER\\" + m_path + ": it has keys more than 512 levels below the root."});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

}  // namespace
}  // namespace vor::test
