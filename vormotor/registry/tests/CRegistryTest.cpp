#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <string>
#include <vector>

#include "vormotor/registry/tests/RegistryTestSupport.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <ctime>
#endif

namespace vor::test {
namespace {

DateTime LocalNow() {
#ifdef _WIN32
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
#else
    // The same clock the store stamps with: time() may read a coarser clock that lags behind it.
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm fields{};
    localtime_r(&now, &fields);
    return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec};
#endif
}

using CRegistryTest = RegistryTest;

std::string Slashed(std::string path) {
    for (char& c : path) {
        c = c == '\\' ? '/' : c;
    }
    return path;
}

TEST_F(CRegistryTest, OpenKeyNormalisesThePathInPlace) {
    struct Case {
        std::string keyStr;
        std::string normalised;
        bool opens;
    };
    const std::vector<Case> cases{
        {Slashed(m_path), m_path, true},
        {"\\" + Slashed(m_path) + "/a/b", m_path + "\\a\\b", true},
        {"/" + Slashed(m_path), "\\" + m_path, false},  // the leading separator stays and is refused
    };
    CRegistry registry(m_backend.api);  // one object: a failed open also closes the key open before
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyStr);
        std::string keyStr = c.keyStr;
        registry.OpenKey(reg::CurrentUser, keyStr, true);
        EXPECT_EQ(keyStr, c.normalised);
        EXPECT_EQ(registry.IsOpen(), c.opens);
        EXPECT_EQ(registry.CurrentKey(), c.opens ? c.normalised : "");
        // Given as a value, the key opens alike and the caller's text stays as it was.
        const std::string kept = c.keyStr;
        registry.OpenKey(reg::CurrentUser, std::string_view(kept), true);
        EXPECT_EQ(kept, c.keyStr);
        EXPECT_EQ(registry.IsOpen(), c.opens);
        EXPECT_EQ(registry.CurrentKey(), c.opens ? c.normalised : "");
    }
    registry.OpenKey(reg::CurrentUser, "Software/VorLiteral", true);  // a literal compiles
    EXPECT_EQ(registry.CurrentKey(), "Software\\VorLiteral");
    registry.DeleteKey();
}

TEST_F(CRegistryTest, WithoutAnOpenKeyReadsGiveTheDefaultAndEverythingElseRaises) {
    auto registry = Open("missing", false);
    ASSERT_FALSE(registry->IsOpen());
    EXPECT_EQ(registry->ReadValue("x", "fallback"), "fallback");
    EXPECT_EQ(registry->ReadDWORD("x", -7), -7);

    std::vector<std::string> names;
    std::vector<std::string> data;
    std::int32_t count = 3;
    const std::string noKey = "No key is currently open.";
    ExpectRegistryError([&] { registry->WriteValue("x", "1"); }, {RegistryFailure, "CRegistry:WriteValue", noKey});
    ExpectRegistryError([&] { registry->WriteDWORD("x", 1); }, {RegistryFailure, "CRegistry:WriteValue", noKey});
    ExpectRegistryError([&] { registry->DeleteValue("x"); }, {RegistryFailure, "CRegistry:DeleteValue", noKey});
    ExpectRegistryError([&] { registry->EnumerateValues(names, data, count); },
                        {RegistryFailure, "CRegistry:EnumerateValues", noKey});
    ExpectRegistryError([&] { registry->EnumerateSections(names, count); },
                        {static_cast<std::int32_t>(0x800469AAu), "VorMotorCtl.cRegistry", noKey});
    EXPECT_EQ(count, 0);

    const ExpectedError noInfo{RegistryFailure, "CRegistry:RefreshKeyInfo", "Failed to retrieve key information."};
    using Property = std::int32_t (CRegistry::*)();
    for (Property property : {&CRegistry::NumOfSubKeys, &CRegistry::MaxSubkeyNameLength, &CRegistry::MaxClassNameLength,
                              &CRegistry::NumOfValues, &CRegistry::MaxValueNameLength, &CRegistry::MaxValueLength,
                              &CRegistry::SecurityDescriptor}) {
        ExpectRegistryError([&] { (registry.get()->*property)(); }, noInfo);
    }
    ExpectRegistryError([&] { registry->KeyClass(); }, noInfo);
    EXPECT_EQ(registry->LastWriteTime(), (DateTime{1601, 1, 1, 0, 0, 0}));
}

TEST_F(CRegistryTest, ValuesReadBackAsWrittenWhateverTheirType) {
    auto registry = Open();
    registry->WriteValue("Name", "Motor \\ 1");
    registry->WriteValue("Empty", "");
    registry->WriteDWORD("Count", -2);
    registry->WriteDWORD("Letters", 0x00434241);
    registry->WriteValue("Text3", "ABC");

    EXPECT_EQ(registry->ReadValue("Name"), "Motor \\ 1");
    EXPECT_EQ(registry->ReadValue("Empty", "default"), "");
    EXPECT_EQ(registry->ReadDWORD("Count"), -2);
    EXPECT_EQ(registry->ReadValue("Letters"), "ABC");  // raw little-endian bytes, trailing NUL dropped
    EXPECT_EQ(registry->ReadDWORD("Text3"), 0x00434241);
    EXPECT_EQ(registry->ReadValue("Missing", "default"), "default");
    EXPECT_EQ(registry->ReadDWORD("Missing", 42), 42);
}

TEST_F(CRegistryTest, NamesAreCaseInsensitiveAndKeepTheirFirstSpelling) {
    auto registry = Open();
    registry->WriteValue("MotorName", "first");
    registry->WriteValue("MOTORNAME", "second");
    EXPECT_EQ(registry->ReadValue("motorname"), "second");

    std::vector<std::string> names;
    std::vector<std::string> data;
    std::int32_t count = 0;
    registry->EnumerateValues(names, data, count);
    EXPECT_EQ(names, std::vector<std::string>{"MotorName"});

    auto sameKey = std::make_unique<CRegistry>(m_backend.api);
    std::string upper = m_path;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    sameKey->OpenKey(reg::CurrentUser, upper);
    ASSERT_TRUE(sameKey->IsOpen());
    EXPECT_EQ(sameKey->ReadValue("MotorName"), "second");
}

TEST_F(CRegistryTest, ReadsFailOnlyWhenTheBufferIsTooSmall) {
    auto registry = Open();
    registry->WriteValue("Fits", std::string(9998, 'x'));
    registry->WriteValue("TooLong", std::string(10000, 'x'));
    EXPECT_EQ(registry->ReadValue("Fits").size(), 9998u);
    ExpectRegistryError(
        [&] { registry->ReadValue("TooLong"); },
        {RegistryFailure, "CRegistry:ReadValue", "Failed to read value TooLong from Registry. Buffer too small."});
    ExpectRegistryError(
        [&] { registry->ReadDWORD("Fits"); },
        {RegistryFailure, "CRegistry:ReadValue", "Failed to read DWORD value 'Fits' from Registry. Buffer too small."});
}

// Windows keeps strings in UTF-16 and, when the byte after the counted text is a NUL (as it always
// is behind a C++ string), stores that NUL too: sizes differ from what the caller counted.
TEST_F(CRegistryTest, WindowsStoresStringsAsUtf16WithTheirNul) {
    if (m_backend.portable) {
        GTEST_SKIP() << "the portable store keeps strings as written; see PortableStoreKeepsStringsAsWritten";
    }
    auto registry = Open();
    registry->WriteValue("Five", "12345");
    registry->WriteValue("Full", std::string(9999, 'x'));
    EXPECT_EQ(registry->MaxValueLength(), 20000);
    registry->DeleteValue("Full");
    EXPECT_EQ(registry->MaxValueLength(), 12);
    EXPECT_THROW(registry->ReadDWORD("Five"), Error);
}

TEST_F(CRegistryTest, PortableStoreKeepsStringsAsWritten) {
    if (!m_backend.portable) {
        GTEST_SKIP() << "see WindowsStoresStringsAsUtf16WithTheirNul";
    }
    auto registry = Open();
    registry->WriteValue("Full", std::string(9999, 'x'));
    registry->WriteValue("Text4", "ABCD");
    EXPECT_EQ(registry->MaxValueLength(), 9999);
    EXPECT_EQ(registry->ReadValue("Full").size(), 9999u);
    EXPECT_EQ(registry->ReadDWORD("Text4"), 0x44434241);
}

TEST_F(CRegistryTest, StringsWrittenWithTheirNulReadBackWithoutIt) {
    auto registry = Open();
    RegHandle key = 0;
    ASSERT_EQ(Api().OpenKeyEx(reg::HiveHandle(reg::CurrentUser), m_path.c_str(), 0, reg::KeyAllAccess, &key),
              reg::Success);
    const auto set = [&](const char* name, const char* text, std::uint32_t size) {
        ASSERT_EQ(Api().SetValueEx(key, name, reg::Sz, reinterpret_cast<const unsigned char*>(text), size),
                  reg::Success);
    };
    set("WithNul", "abc", 4);
    set("EmptyWithNul", "", 1);
    Api().CloseKey(key);
    EXPECT_EQ(registry->ReadValue("WithNul"), "abc");
    EXPECT_EQ(registry->ReadValue("EmptyWithNul", "default"), "");
}

TEST_F(CRegistryTest, DeleteValueRemovesAndToleratesMissingValues) {
    auto registry = Open();
    registry->WriteValue("Gone", "1");
    registry->DeleteValue("Gone");
    registry->DeleteValue("Gone");
    EXPECT_EQ(registry->ReadValue("Gone", "none"), "none");
    EXPECT_EQ(registry->NumOfValues(), 0);
}

TEST_F(CRegistryTest, MachineKeysAreOpenedReadOnly) {
    const std::string path = m_path;
    RegHandle created = 0;
    const long result = Api().CreateKeyEx(reg::HiveHandle(reg::LocalMachine), path.c_str(), nullptr, 0,
                                          reg::KeyAllAccess, &created, nullptr);
    if (result == reg::AccessDenied) {
        GTEST_SKIP() << "this account may not create the machine-wide key the test reads";
    }
    ASSERT_EQ(result, reg::Success);
    Api().SetValueEx(created, "Existing", reg::Sz, reinterpret_cast<const unsigned char*>("v"), 1);
    Api().CloseKey(created);

    CRegistry registry(m_backend.api);
    std::string keyStr = path;
    registry.OpenKey(reg::LocalMachine, keyStr);
    ASSERT_TRUE(registry.IsOpen());
    EXPECT_EQ(registry.ReadValue("Existing"), "v");
    ExpectRegistryError([&] { registry.WriteValue("New", "1"); },
                        {RegistryFailure, "CRegistry:WriteValue", "Failed to write new value to New from Registry."});
    ExpectRegistryError(
        [&] { registry.WriteDWORD("New", 1); },
        {RegistryFailure, "CRegistry:WriteValue", "Failed to write new DWORD value to key 'New' from Registry."});
    ExpectRegistryError([&] { registry.DeleteValue("Existing"); },
                        {RegistryFailure, "CRegistry:DeleteValue", "Failed to delete value Existing from Registry."});
    registry.CloseKey();
    DeleteTree(Api(), reg::LocalMachine, path);
}

TEST_F(CRegistryTest, KeyInformationDescribesValuesSubKeysAndClasses) {
    auto registry = Open();
    RegHandle child = 0;
    const std::string childPath = m_path + "\\Child";
    ASSERT_EQ(Api().CreateKeyEx(reg::HiveHandle(reg::CurrentUser), childPath.c_str(), "MotorClass", 0,
                                reg::KeyAllAccess, &child, nullptr),
              reg::Success);
    Api().CloseKey(child);
    registry->WriteDWORD("Short", 1);
    registry->WriteValue("LongerName", "");
    auto other = Open("Another longer child");

    EXPECT_EQ(registry->NumOfSubKeys(), 2);
    EXPECT_EQ(registry->MaxSubkeyNameLength(), 20);
    EXPECT_EQ(registry->MaxClassNameLength(), 10);
    EXPECT_EQ(registry->NumOfValues(), 2);
    EXPECT_EQ(registry->MaxValueNameLength(), 10);
    EXPECT_EQ(registry->MaxValueLength(), 4);
    EXPECT_EQ(registry->KeyClass(), "");

    auto classed = Open("Child", false);
    EXPECT_EQ(classed->KeyClass(), "MotorClass");
}

TEST_F(CRegistryTest, LastWriteTimeIsTheLocalTimeOfTheLastChange) {
    const DateTime before = LocalNow();
    auto registry = Open();
    registry->WriteValue("x", "1");
    const DateTime written = registry->LastWriteTime();
    const DateTime after = LocalNow();
    EXPECT_LE(before, written);
    EXPECT_LE(written, after);
    registry->CloseKey();
    EXPECT_EQ(registry->LastWriteTime(), written) << "a failed refresh keeps the last time";
}

TEST_F(CRegistryTest, PortableStoreKeepsNoSecurityDescriptors) {
    if (!m_backend.portable) {
        GTEST_SKIP() << "the platform registry keeps descriptors";
    }
    EXPECT_EQ(Open()->SecurityDescriptor(), 0);
}

TEST_F(CRegistryTest, WineReportsSecurityDescriptorSizeZero) {
    if (!m_backend.wine) {
        GTEST_SKIP() << "only Wine answers 0 here";
    }
    EXPECT_EQ(Open()->SecurityDescriptor(), 0);
}

TEST_F(CRegistryTest, WindowsReportsTheSecurityDescriptorSize) {
    if (m_backend.portable || m_backend.wine) {
        GTEST_SKIP() << "Windows only";
    }
    EXPECT_GT(Open()->SecurityDescriptor(), 0);
}

class EnumerationTest : public RegistryTest {
protected:
    std::vector<std::string> ValueNames(CRegistry& registry) {
        std::vector<std::string> names;
        std::vector<std::string> data;
        std::int32_t count = -1;
        EXPECT_TRUE(registry.EnumerateValues(names, data, count));
        EXPECT_EQ(count, static_cast<std::int32_t>(names.size()));
        return names;
    }
    std::unique_ptr<CRegistry> WithValues() {
        auto registry = Open();
        for (const char* name : {"zeta", "Alpha", "mid"}) {
            registry->WriteValue(name, std::string(name) + " data");
        }
        return registry;
    }
};

TEST_F(EnumerationTest, ValuesEnumerateInCreationOrder) {
    if (m_backend.wine) {
        GTEST_SKIP() << "Wine enumerates values sorted; see WineEnumeratesValuesSorted";
    }
    auto registry = WithValues();
    EXPECT_EQ(ValueNames(*registry), (std::vector<std::string>{"zeta", "Alpha", "mid"}));
}

TEST_F(EnumerationTest, WineEnumeratesValuesSorted) {
    if (!m_backend.wine) {
        GTEST_SKIP() << "Wine only";
    }
    auto registry = WithValues();
    EXPECT_EQ(ValueNames(*registry), (std::vector<std::string>{"Alpha", "mid", "zeta"}));
}

TEST_F(EnumerationTest, ValuesComeWithTheirData) {
    auto registry = Open();
    EXPECT_TRUE(ValueNames(*registry).empty());
    registry->WriteValue("Only", "text");
    std::vector<std::string> names;
    std::vector<std::string> data;
    std::int32_t count = 0;
    registry->EnumerateValues(names, data, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(data, std::vector<std::string>{"text"});
}

TEST_F(EnumerationTest, AnUnreadableValueEndsTheEnumeration) {
    auto registry = Open();
    registry->WriteValue("a", "1");
    registry->WriteValue("b", std::string(10000, 'x'));
    registry->WriteValue("c", "3");
    std::vector<std::string> names;
    std::vector<std::string> data;
    std::int32_t count = 0;
    EXPECT_TRUE(registry->EnumerateValues(names, data, count));
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(data, (std::vector<std::string>{"1", ""}));
}

TEST_F(EnumerationTest, SubKeysEnumerateSortedWithoutRegardToCase) {
    for (const char* name : {"gamma", "Delta", "beta", "Alpha"}) {
        Open(name);
    }
    auto registry = Open();
    std::vector<std::string> names;
    std::int32_t count = 0;
    EXPECT_TRUE(registry->EnumerateSections(names, count));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Delta", "gamma"}));
}

// Characters between the upper- and lower-case letters tell the two foldings apart.
class FoldingTest : public EnumerationTest {
protected:
    std::vector<std::string> SubKeys() {
        for (const char* name : {"b", "_c", "A"}) {
            Open(name);
        }
        std::vector<std::string> names;
        std::int32_t count = 0;
        Open()->EnumerateSections(names, count);
        return names;
    }
};

TEST_F(FoldingTest, SubKeysSortByUpperCaseNames) {
    if (m_backend.wine) {
        GTEST_SKIP() << "Wine folds to lower case; see WineSortsSubKeysByLowerCaseNames";
    }
    EXPECT_EQ(SubKeys(), (std::vector<std::string>{"A", "b", "_c"}));
}

TEST_F(FoldingTest, WineSortsSubKeysByLowerCaseNames) {
    if (!m_backend.wine) {
        GTEST_SKIP() << "Wine only";
    }
    EXPECT_EQ(SubKeys(), (std::vector<std::string>{"_c", "A", "b"}));
}

TEST_F(CRegistryTest, DeleteKeyRemovesOnlyKeysWithoutSubKeys) {
    Open("Parent\\Leaf");
    auto parent = Open("Parent");
    parent->DeleteKey();
    EXPECT_FALSE(parent->IsOpen());
    EXPECT_EQ(parent->Hive(), reg::CurrentUser);
    EXPECT_TRUE(Open("Parent", false)->IsOpen()) << "a key with sub-keys stays";

    auto leaf = Open("Parent\\Leaf");
    leaf->DeleteKey();
    EXPECT_FALSE(Open("Parent\\Leaf", false)->IsOpen());
}

TEST_F(CRegistryTest, AKeyDeletedElsewhereRefusesWrites) {
    auto holder = Open("Doomed");
    holder->WriteValue("x", "1");
    Open("Doomed")->DeleteKey();
    EXPECT_EQ(holder->ReadValue("x", "default"), "default");
    ExpectRegistryError([&] { holder->WriteValue("x", "2"); },
                        {RegistryFailure, "CRegistry:WriteValue", "Failed to write new value to x from Registry."});
    ExpectRegistryError([&] { holder->NumOfValues(); },
                        {RegistryFailure, "CRegistry:RefreshKeyInfo", "Failed to retrieve key information."});
}

}  // namespace
}  // namespace vor::test
