#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/registry/TypedImage.h"
#include "vormotor/regstore/RegStore.h"
#include "vormotor/regstore/tests/RegStoreFileTest.h"

namespace vor::store {
namespace {

const RegHandle User = reg::HiveHandle(reg::CurrentUser);

const unsigned char* Bytes(const char* text) {
    return reinterpret_cast<const unsigned char*>(text);
}

class RegStoreTest : public ::testing::Test {
protected:
    RegHandle Create(const char* path, const char* keyClass = nullptr, std::uint32_t* disposition = nullptr) {
        RegHandle key = 0;
        EXPECT_EQ(m_store.CreateKeyEx(User, path, keyClass, 0, reg::KeyAllAccess, &key, disposition), reg::Success);
        return key;
    }
    FileTime Written(RegHandle key) {
        FileTime time = 0;
        EXPECT_EQ(m_store.QueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, &time),
                  reg::Success);
        return time;
    }

    RegStore m_store{RegStore::InMemory};
};

TEST_F(RegStoreTest, TooSmallBuffersGetTheRequiredSizeAndStayUntouched) {
    RegHandle key = Create("Motor", "ClassName");
    Create("Motor\\LongSubKeyName");
    ASSERT_EQ(m_store.SetValueEx(key, "Value", reg::Sz, Bytes("0123456789"), 10), reg::Success);

    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(m_store.QueryValueEx(key, "Value", nullptr, reinterpret_cast<unsigned char*>(buffer), &size),
              reg::MoreData);
    EXPECT_EQ(size, 10u);
    std::uint32_t nameLength = 3;
    EXPECT_EQ(m_store.EnumValue(key, 0, buffer, &nameLength, nullptr, nullptr, nullptr), reg::MoreData);
    EXPECT_EQ(m_store.EnumKey(key, 0, buffer, sizeof buffer), reg::MoreData);
    RegHandle motor = 0;
    ASSERT_EQ(m_store.OpenKeyEx(User, "Motor", 0, reg::KeyRead, &motor), reg::Success);
    std::uint32_t classLength = 4;
    EXPECT_EQ(m_store.QueryInfoKey(motor, buffer, &classLength, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr),
              reg::MoreData);
    EXPECT_EQ(classLength, 9u);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(8, '#'));

    size = 0;
    EXPECT_EQ(m_store.QueryValueEx(key, "Value", nullptr, nullptr, &size), reg::Success) << "size only";
    EXPECT_EQ(size, 10u);
}

TEST_F(RegStoreTest, ReadOnlyHandlesRefuseWritesButNotNewSubKeys) {
    Create("Motor");
    RegHandle readOnly = 0;
    ASSERT_EQ(m_store.OpenKeyEx(User, "Motor", 0, reg::KeyRead, &readOnly), reg::Success);
    EXPECT_EQ(m_store.SetValueEx(readOnly, "v", reg::Sz, Bytes("1"), 1), reg::AccessDenied);
    EXPECT_EQ(m_store.DeleteValue(readOnly, "v"), reg::AccessDenied);
    RegHandle child = 0;
    EXPECT_EQ(m_store.CreateKeyEx(readOnly, "Child", nullptr, 0, reg::KeyAllAccess, &child, nullptr), reg::Success);
    EXPECT_EQ(m_store.SetValueEx(child, "v", reg::Sz, Bytes("1"), 1), reg::Success);
}

TEST_F(RegStoreTest, PathsAndHandlesAreCheckedLikeThePlatformDoes) {
    Create("A\\B");
    RegHandle key = 0;
    const std::string longName(256, 'n');
    const auto repeated = [](std::string_view character, int times) {
        std::string name;
        for (int i = 0; i < times; ++i) {
            name += character;
        }
        return name;
    };
    struct Case {
        std::string path;
        long expected;
    };
    for (const Case& c : std::vector<Case>{{"A\\B", reg::Success},
                                           {"a\\b\\", reg::Success},
                                           {"A\\\\B", reg::Success},
                                           {"\\A", reg::BadPathname},
                                           {"A\\C", reg::FileNotFound},
                                           {longName, reg::MoreData},
                                           // The limit counts characters (as UTF-16 does), not bytes.
                                           {repeated("\xc3\xa4", 255), reg::FileNotFound},
                                           {repeated("\xc3\xa4", 256), reg::MoreData},
                                           {repeated("\xf0\x9f\x94\xa7", 127), reg::FileNotFound},
                                           {repeated("\xf0\x9f\x94\xa7", 128), reg::MoreData}}) {
        EXPECT_EQ(m_store.OpenKeyEx(User, c.path.c_str(), 0, reg::KeyRead, &key), c.expected) << c.path;
    }
    EXPECT_EQ(m_store.CloseKey(12345), reg::InvalidHandle);
    EXPECT_EQ(m_store.SetValueEx(12345, "v", reg::Sz, Bytes("1"), 1), reg::InvalidHandle);
    EXPECT_EQ(m_store.CloseKey(User), reg::Success);
}

TEST_F(RegStoreTest, KeysWithSubKeysCannotBeDeleted) {
    Create("A\\B");
    EXPECT_EQ(m_store.DeleteKey(User, "A"), reg::AccessDenied);
    EXPECT_EQ(m_store.DeleteKey(User, "A\\B"), reg::Success);
    EXPECT_EQ(m_store.DeleteKey(User, "A\\B"), reg::FileNotFound);
    EXPECT_EQ(m_store.DeleteKey(User, "A"), reg::Success);
    EXPECT_EQ(m_store.DeleteKey(User, ""), reg::AccessDenied) << "roots stay";
}

TEST_F(RegStoreTest, HandlesOfDeletedKeysAnswerKeyDeleted) {
    RegHandle key = Create("Doomed");
    ASSERT_EQ(m_store.SetValueEx(key, "v", reg::Sz, Bytes("1"), 1), reg::Success);
    ASSERT_EQ(m_store.DeleteKey(User, "Doomed"), reg::Success);
    Create("Doomed");  // a new key of the same name is another key
    char name[16];
    std::uint32_t length = sizeof name;
    RegHandle other = 0;
    const std::vector<std::function<long()>> calls{
        [&] { return m_store.SetValueEx(key, "v", reg::Sz, Bytes("1"), 1); },
        [&] { return m_store.QueryValueEx(key, "v", nullptr, nullptr, &length); },
        [&] { return m_store.DeleteValue(key, "v"); },
        [&] { return m_store.EnumValue(key, 0, name, &length, nullptr, nullptr, nullptr); },
        [&] { return m_store.EnumKey(key, 0, name, sizeof name); },
        [&] { return m_store.OpenKeyEx(key, "", 0, reg::KeyRead, &other); },
        [&] { return m_store.CreateKeyEx(key, "x", nullptr, 0, reg::KeyRead, &other, nullptr); },
        [&] {
            return m_store.QueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr);
        },
    };
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i](), reg::KeyDeleted) << "call " << i;
    }
    EXPECT_EQ(m_store.CloseKey(key), reg::Success);
}

TEST_F(RegStoreTest, NamesAndDataAreKeptAsTheBytesGiven) {
    RegHandle key = Create("Bytes");
    // Latin-1 and UTF-8 spellings of one letter are different names; only ASCII letters fold.
    ASSERT_EQ(m_store.SetValueEx(key, "caf\xe9", reg::Sz, Bytes("latin"), 5), reg::Success);
    ASSERT_EQ(m_store.SetValueEx(key, "caf\xc3\xa9", reg::Sz, Bytes("utf8"), 4), reg::Success);
    ASSERT_EQ(m_store.SetValueEx(key, "CAF\xc3\x89", reg::Sz, Bytes("upper"), 5), reg::Success);
    ASSERT_EQ(m_store.SetValueEx(key, "nul", reg::Sz, Bytes("x\0y"), 4), reg::Success);
    unsigned char data[16];
    std::uint32_t size = sizeof data;
    ASSERT_EQ(m_store.QueryValueEx(key, "CAF\xe9", nullptr, data, &size), reg::Success);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), "latin");
    std::uint32_t values = 0;
    m_store.QueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(values, 4u);
    size = sizeof data;
    std::uint32_t type = 0;
    ASSERT_EQ(m_store.QueryValueEx(key, "NUL", &type, data, &size), reg::Success);
    EXPECT_EQ(type, reg::Sz);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), size), std::string("x\0y", 4));
}

TEST_F(RegStoreTest, EveryKeyKeepsItsOwnLastWriteTime) {
    RegHandle a = Create("Times\\A");
    RegHandle b = Create("Times\\B");
    RegHandle parent = Create("Times");
    const FileTime aCreated = Written(a);
    ASSERT_EQ(m_store.SetValueEx(b, "v", reg::Sz, Bytes("1"), 1), reg::Success);
    EXPECT_EQ(Written(a), aCreated);
    EXPECT_GT(Written(b), aCreated);
    const FileTime parentBefore = Written(parent);
    Create("Times\\C");
    EXPECT_GT(Written(parent), parentBefore) << "a new sub-key changes its parent";
}

TEST_F(RegStoreTest, CreateReportsWhetherTheKeyIsNewAndSetsItsClassOnce) {
    std::uint32_t disposition = 0;
    Create("Classes\\Motor", "First", &disposition);
    EXPECT_EQ(disposition, 1u);
    RegHandle key = Create("Classes\\Motor", "Second", &disposition);
    EXPECT_EQ(disposition, 2u);
    char keyClass[32];
    std::uint32_t length = sizeof keyClass;
    ASSERT_EQ(m_store.QueryInfoKey(key, keyClass, &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr),
              reg::Success);
    EXPECT_EQ(std::string(keyClass, length), "First");
    RegHandle classes = Create("Classes");
    length = sizeof keyClass;
    ASSERT_EQ(m_store.QueryInfoKey(classes, keyClass, &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr),
              reg::Success);
    EXPECT_EQ(std::string(keyClass, length), "First") << "keys created on the way get the class too";
}

TEST_F(RegStoreTest, EnumerationSeesKeysAddedInBetween) {
    RegHandle key = Create("List");
    Create("List\\b");
    char name[16];
    ASSERT_EQ(m_store.EnumKey(key, 0, name, sizeof name), reg::Success);
    EXPECT_STREQ(name, "b");
    Create("List\\a");
    ASSERT_EQ(m_store.EnumKey(key, 0, name, sizeof name), reg::Success);
    EXPECT_STREQ(name, "a");
    EXPECT_EQ(m_store.EnumKey(key, 2, name, sizeof name), reg::NoMoreItems);
}

// The listings that make enumeration linear must never show a state the store has left.
TEST_F(RegStoreTest, EnumerationFollowsWritesInAndOutOfBatches) {
    RegHandle key = Create("Listed");
    char name[16];
    std::uint32_t length = sizeof name;
    const auto valueAt = [&](std::uint32_t index) {
        length = sizeof name;
        return m_store.EnumValue(key, index, name, &length, nullptr, nullptr, nullptr) == reg::Success
                   ? std::string(name, length)
                   : std::string("-");
    };
    for (bool batch : {false, true}) {
        SCOPED_TRACE(batch ? "in a batch" : "alone");
        if (batch) {
            m_store.BeginBatch(RegistryApi::BatchUse::Read);
        }
        ASSERT_EQ(m_store.SetValueEx(key, "a", reg::Sz, Bytes("1"), 1), reg::Success);
        ASSERT_EQ(m_store.SetValueEx(key, "b", reg::Sz, Bytes("1"), 1), reg::Success);
        EXPECT_EQ(valueAt(0), "a");
        ASSERT_EQ(m_store.DeleteValue(key, "A"), reg::Success);
        EXPECT_EQ(valueAt(0), "b");
        ASSERT_EQ(m_store.SetValueEx(key, "a", reg::Sz, Bytes("2"), 1), reg::Success);
        EXPECT_EQ(valueAt(1), "a") << "a value made again comes last";
        ASSERT_EQ(m_store.SetValueEx(key, "B", reg::Sz, Bytes("3"), 1), reg::Success);
        EXPECT_EQ(valueAt(0), "b") << "a value written again keeps its place and name";
        EXPECT_EQ(valueAt(2), "-");
        std::uint32_t values = 0;
        std::uint32_t longest = 0;
        ASSERT_EQ(m_store.QueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, &longest,
                                       nullptr, nullptr),
                  reg::Success);
        EXPECT_EQ(values, 2u);
        EXPECT_EQ(longest, 1u);
        if (batch) {
            EXPECT_EQ(m_store.EndBatch(), reg::Success);
        }
        ASSERT_EQ(m_store.DeleteValue(key, "a"), reg::Success);
        ASSERT_EQ(m_store.DeleteValue(key, "b"), reg::Success);
    }
}

// A batch writes its values in blocks; what anyone reads must be as if each had been written at once.
TEST_F(RegStoreTest, ABatchReadsItsOwnValuesAsWritten) {
    constexpr int Names = 25;
    RegHandle key = Create("Block");
    const auto valueOf = [&](const std::string& name) {
        char data[8] = {};
        std::uint32_t size = sizeof data;
        return m_store.QueryValueEx(key, name.c_str(), nullptr, reinterpret_cast<unsigned char*>(data), &size) ==
                       reg::Success
                   ? std::string(data, size)
                   : std::string("-");
    };
    m_store.BeginBatch(RegistryApi::BatchUse::Write);
    for (int i = 0; i < 2 * Names; ++i) {
        const std::string name = "v" + std::to_string(i % Names);
        const std::string data = std::to_string(i);
        ASSERT_EQ(m_store.SetValueEx(key, name.c_str(), reg::Sz, Bytes(data.c_str()), data.size()), reg::Success);
        if (i == Names + 3) {
            EXPECT_EQ(valueOf("V3"), std::to_string(i));
        }
    }
    ASSERT_EQ(m_store.EndBatch(), reg::Success);
    for (std::uint32_t index = 0; index < Names; ++index) {
        char name[8];
        std::uint32_t length = sizeof name;
        ASSERT_EQ(m_store.EnumValue(key, index, name, &length, nullptr, nullptr, nullptr), reg::Success);
        EXPECT_EQ(std::string(name, length), "v" + std::to_string(index)) << "values keep their first place";
        EXPECT_EQ(valueOf(name), std::to_string(index + Names));
    }
}

TEST_F(RegStoreTest, KeysWrittenInABatchShowTheirNewTimeInsideAndAfterIt) {
    RegHandle key = Create("Stamped");
    RegHandle other = Create("Unwritten");
    const FileTime before = Written(key);
    const FileTime otherBefore = Written(other);
    m_store.BeginBatch(RegistryApi::BatchUse::Write);
    ASSERT_EQ(m_store.SetValueEx(key, "v", reg::Sz, Bytes("1"), 1), reg::Success);
    const FileTime inside = Written(key);
    EXPECT_GT(inside, before);
    ASSERT_EQ(m_store.SetValueEx(key, "w", reg::Sz, Bytes("1"), 1), reg::Success);
    ASSERT_EQ(m_store.EndBatch(), reg::Success);
    EXPECT_GE(Written(key), inside);
    EXPECT_EQ(Written(other), otherBefore);
}

TEST_F(RegStoreFileTest, WritesSurviveReopening) {
    const std::string path = (m_folder / "nested" / "registry.db").string();
    {
        RegStore store(path);
        RegHandle key = 0;
        ASSERT_EQ(store.CreateKeyEx(User, "Kept", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        ASSERT_EQ(store.SetValueEx(key, "v", reg::Sz, Bytes("value"), 5), reg::Success);
    }
    RegStore reopened(path);
    RegHandle key = 0;
    ASSERT_EQ(reopened.OpenKeyEx(User, "kept", 0, reg::KeyRead, &key), reg::Success);
    char data[8];
    std::uint32_t size = sizeof data;
    ASSERT_EQ(reopened.QueryValueEx(key, "V", nullptr, reinterpret_cast<unsigned char*>(data), &size), reg::Success);
    EXPECT_EQ(std::string(data, size), "value");
}

TEST_F(RegStoreFileTest, DefaultPathFollowsTheEnvironment) {
    struct Saved {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<Saved> saved;
    for (const char* name : {RegStore::PathVariable, "XDG_CONFIG_HOME", "HOME"}) {
        const char* value = std::getenv(name);
        saved.push_back({name, value ? value : "", value != nullptr});
    }
    setenv("HOME", "/home/someone", 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv(RegStore::PathVariable);
    EXPECT_EQ(RegStore::DefaultPath(), "/home/someone/.config/vormotor/registry.db");
    setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(RegStore::DefaultPath(), "/xdg/vormotor/registry.db");
    setenv(RegStore::PathVariable, "/elsewhere/reg.db", 1);
    EXPECT_EQ(RegStore::DefaultPath(), "/elsewhere/reg.db");
    for (const Saved& s : saved) {
        s.set ? setenv(s.name, s.value.c_str(), 1) : unsetenv(s.name);
    }
}

// An export reads one snapshot: it neither waits for a writer nor keeps one waiting. An import that cannot get the
// store says that it is busy.
TEST_F(RegStoreFileTest, ExportsTakeNoWriteLockAndImportsSayWhenTheStoreIsBusy) {
    constexpr std::chrono::milliseconds Patience{100};
    const auto hiveOf = [](std::string_view) -> std::optional<std::int32_t> { return reg::CurrentUser; };
    const std::string image =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Held]\r\n\"v\"=\"1\"\r\n";
    RegStore writer(m_path, Patience);
    TypedImage(writer).Load(image, hiveOf);
    RegStore exporter(m_path, Patience);

    ASSERT_EQ(writer.BeginBatch(RegistryApi::BatchUse::Write), reg::Success);
    RegHandle key = 0;
    ASSERT_EQ(writer.CreateKeyEx(User, "Held", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
    ASSERT_EQ(writer.SetValueEx(key, "w", reg::Sz, Bytes("2"), 1), reg::Success);
    TypedImage typed(exporter);
    EXPECT_EQ(typed.Save(reg::CurrentUser, "HKEY_CURRENT_USER", "Held"), image);
    try {
        TypedImage(exporter).Load(image, hiveOf);
        ADD_FAILURE() << "an import wrote while another connection held the store";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), reg::StoreBusyError);
        EXPECT_EQ(error.Source(), "TypedImage::Load");
    }
    EXPECT_EQ(writer.EndBatch(), reg::Success);

    ASSERT_EQ(exporter.BeginBatch(RegistryApi::BatchUse::Read), reg::Success);
    RegHandle exported = 0;
    ASSERT_EQ(exporter.OpenKeyEx(User, "Held", 0, reg::KeyRead, &exported), reg::Success);
    EXPECT_EQ(exporter.QueryValueEx(exported, "w", nullptr, nullptr, nullptr), reg::Success);
    EXPECT_EQ(writer.SetValueEx(key, "during", reg::Sz, Bytes("3"), 1), reg::Success)
        << "a reader kept a writer waiting";
    EXPECT_EQ(exporter.QueryValueEx(exported, "during", nullptr, nullptr, nullptr), reg::FileNotFound)
        << "a read batch sees one snapshot";
    EXPECT_EQ(exporter.EndBatch(), reg::Success);
}

// name:size of every value in order.
std::string Listing(RegStore& store, const char* path) {
    RegHandle key = 0;
    EXPECT_EQ(store.OpenKeyEx(User, path, 0, reg::KeyRead, &key), reg::Success);
    std::string listed;
    char name[32];
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t nameLength = sizeof name;
        std::uint32_t size = 0;
        if (store.EnumValue(key, index, name, &nameLength, nullptr, nullptr, &size) != reg::Success) {
            return listed;
        }
        listed += std::string(name, nameLength) + ":" + std::to_string(size) + ";";
    }
}

// A key whose values outgrow its row keeps them in rows of their own: order, case, deletion, batches, reopening
// and deleting the key behave as with a small key.
TEST_F(RegStoreFileTest, ALargeKeyBehavesAsASmallOne) {
    const std::string big(40'000, 'b');
    const auto set = [](RegStore& store, RegHandle key, const char* name, const std::string& data) {
        return store.SetValueEx(key, name, reg::Binary, reinterpret_cast<const unsigned char*>(data.data()),
                                static_cast<std::uint32_t>(data.size()));
    };
    {
        RegStore store(m_path);
        RegHandle key = 0;
        ASSERT_EQ(store.CreateKeyEx(User, "Large", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        for (const char* name : {"First", "Big1", "Big2", "Last"}) {
            ASSERT_EQ(set(store, key, name, std::string(name).starts_with("Big") ? big : "1"), reg::Success) << name;
        }
        EXPECT_EQ(set(store, key, "FIRST", "one"), reg::Success);
        EXPECT_EQ(store.DeleteValue(key, "big1"), reg::Success);
        EXPECT_EQ(store.DeleteValue(key, "big1"), reg::FileNotFound);
        ASSERT_EQ(store.BeginBatch(RegistryApi::BatchUse::Write), reg::Success);
        EXPECT_EQ(set(store, key, "Added", "333"), reg::Success);
        EXPECT_EQ(set(store, key, "first", "uno!"), reg::Success);
        EXPECT_EQ(store.DeleteValue(key, "LAST"), reg::Success);
        EXPECT_EQ(store.EndBatch(), reg::Success);
        ASSERT_EQ(store.BeginBatch(RegistryApi::BatchUse::Write), reg::Success);
        EXPECT_EQ(set(store, key, "Gone", "x"), reg::Success);
        EXPECT_EQ(store.CancelBatch(), reg::OperationAborted);
        EXPECT_EQ(Listing(store, "Large"), "First:4;Big2:40000;Added:3;");
    }
    RegStore store(m_path);
    EXPECT_EQ(Listing(store, "Large"), "First:4;Big2:40000;Added:3;");
    EXPECT_EQ(store.DeleteKey(User, "Large"), reg::Success);
    RegHandle key = 0;
    ASSERT_EQ(store.CreateKeyEx(User, "Large", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
    EXPECT_EQ(Listing(store, "Large"), "") << "a new key of the same name has none of the old one's values";
}

// One write on a key of many values costs about what one write on a small key costs: it does not rewrite the
// key's other values. Measured in what the write adds to the write-ahead log.
TEST_F(RegStoreFileTest, AWriteOnALargeKeyWritesNoMoreThanOneOnASmallKey) {
    constexpr int ManyValues = 1000;
    const std::string data(2000, 'v');
    RegStore store(m_path);
    const auto create = [&](const char* path, int values) {
        RegHandle key = 0;
        EXPECT_EQ(store.CreateKeyEx(User, path, nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        RegistryApi::Batch batch(store);
        for (int i = 0; i < values; ++i) {
            const std::string name = "Value " + std::to_string(i);
            store.SetValueEx(key, name.c_str(), reg::Sz, Bytes(data.c_str()), static_cast<std::uint32_t>(data.size()));
        }
        return key;
    };
    const RegHandle small = create("Small", 1);
    const RegHandle large = create("Large", ManyValues);
    const auto logged = [&](RegHandle key, char fill) {
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(m_path.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        // Of another size: a value of the same size SQLite overwrites in place even inside a longer row.
        const std::string changed(data.size() + 1, fill);
        EXPECT_EQ(store.SetValueEx(key, "Value 0", reg::Sz, Bytes(changed.c_str()),
                                   static_cast<std::uint32_t>(changed.size())),
                  reg::Success);
        return std::filesystem::file_size(m_path + "-wal");
    };
    const auto smallWrite = logged(small, 's');
    const auto largeWrite = logged(large, 'l');
    EXPECT_LE(largeWrite, 2 * smallWrite) << "one write on a key of " << ManyValues << " values";
}

TEST_F(RegStoreFileTest, AnUnusablePathRaises) {
    EXPECT_THROW(RegStore(m_folder.string()), Error);
}

}  // namespace
}  // namespace vor::store

namespace vor::store {
namespace {

// A store whose value writes fail once a key holds a value of one name, as a full disk or a damaged
// file would fail them: the trigger lives in the file, so the store under test meets it.
class FailingStoreTest : public RegStoreFileTest {
protected:
    void SetUp() override {
        RegStoreFileTest::SetUp();
        { RegStore created(m_path); }
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_path.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(
            sqlite3_exec(db,
                         "CREATE TRIGGER failing BEFORE UPDATE OF vals ON keys WHEN instr(NEW.vals, 'failing') > 0 "
                         "BEGIN SELECT RAISE(ABORT, 'injected'); END;"
                         "CREATE TRIGGER failingNew BEFORE INSERT ON keys WHEN instr(NEW.vals, 'failing') > 0 "
                         "BEGIN SELECT RAISE(ABORT, 'injected'); END",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }
    bool Has(RegStore& store, const char* valueName) {
        RegHandle key = 0;
        return store.OpenKeyEx(User, "Batch", 0, reg::KeyRead, &key) == reg::Success &&
               store.QueryValueEx(key, valueName, nullptr, nullptr, nullptr) == reg::Success;
    }
};

TEST_F(FailingStoreTest, AFailedCallLosesItsWholeBatch) {
    {
        RegStore store(m_path);
        ASSERT_EQ(store.BeginBatch(RegistryApi::BatchUse::Write), reg::Success);
        RegHandle key = 0;
        ASSERT_EQ(store.CreateKeyEx(User, "Batch", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        ASSERT_EQ(store.SetValueEx(key, "before", reg::Sz, Bytes("1"), 1), reg::Success);
        // A batch may write values late, so the failure shows at the latest when the batch reads.
        store.SetValueEx(key, "failing", reg::Sz, Bytes("1"), 1);
        EXPECT_EQ(store.QueryValueEx(key, "before", nullptr, nullptr, nullptr), reg::RegistryIoFailed);
        EXPECT_EQ(store.SetValueEx(key, "after", reg::Sz, Bytes("1"), 1), reg::RegistryIoFailed);
        EXPECT_EQ(store.EndBatch(), reg::RegistryIoFailed);
        EXPECT_FALSE(Has(store, "before"));

        // Alone, a failed call takes only itself.
        ASSERT_EQ(store.CreateKeyEx(User, "Batch", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        ASSERT_EQ(store.SetValueEx(key, "alone", reg::Sz, Bytes("1"), 1), reg::Success);
        EXPECT_EQ(store.SetValueEx(key, "failing", reg::Sz, Bytes("1"), 1), reg::RegistryIoFailed);
        EXPECT_EQ(store.BeginBatch(RegistryApi::BatchUse::Write), reg::Success) << "the next batch starts afresh";
        ASSERT_EQ(store.SetValueEx(key, "next", reg::Sz, Bytes("1"), 1), reg::Success);
        EXPECT_EQ(store.EndBatch(), reg::Success);
    }
    RegStore reopened(m_path);
    EXPECT_FALSE(Has(reopened, "before"));
    EXPECT_FALSE(Has(reopened, "after"));
    EXPECT_TRUE(Has(reopened, "alone"));
    EXPECT_TRUE(Has(reopened, "next"));
}

}  // namespace
}  // namespace vor::store
