#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <string>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/registry/TypedImage.h"
#include "vormotor/regstore/RegStore.h"
#include "vormotor/regstore/tests/RegStoreFileTest.h"

namespace vor::store {
namespace {

using namespace std::string_literals;

const RegHandle User = reg::HiveHandle(reg::CurrentUser);

// The first store version, a row per value, as earlier releases left it on users' disks: names,
// classes and data are blobs of the bytes given (Motor, MOTOR, MotorClass, Speed, axis, ...).
constexpr const char* FirstVersion = R"sql(
PRAGMA journal_mode = WAL;
CREATE TABLE keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL, name BLOB NOT NULL,
    fold BLOB NOT NULL, class BLOB NOT NULL, written INTEGER NOT NULL, UNIQUE(parent, fold));
CREATE TABLE vals(id INTEGER PRIMARY KEY, key INTEGER NOT NULL, name BLOB NOT NULL, fold BLOB NOT NULL,
    type INTEGER NOT NULL, data BLOB NOT NULL, UNIQUE(key, fold));
INSERT INTO keys VALUES (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT', x'', 0),
    (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER', x'', 0), (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE', x'', 0),
    (4, 0, 'HKEY_USERS', 'HKEY_USERS', x'', 0), (5, 0, 'HKEY_PERFORMANCE_DATA', 'HKEY_PERFORMANCE_DATA', x'', 0),
    (6, 0, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG', x'', 0), (7, 0, 'HKEY_DYN_DATA', 'HKEY_DYN_DATA', x'', 0),
    (8, 2, x'4d6f746f72', x'4d4f544f52', x'4d6f746f72436c617373', 132000000000000000),
    (9, 8, x'41786973', x'41584953', x'', 132000000000000001),
    (10, 2, x'456d707479', x'454d505459', x'', 132000000000000002);
-- Made in the order of their ids, which is not the order of their keys or names.
INSERT INTO vals VALUES (1, 8, x'5370656564', x'5350454544', 4, x'10000000'),
    (2, 9, x'4e616d65', x'4e414d45', 1, x'61786973'),
    (3, 8, x'', x'', 1, x'64656661756c74'),
    (4, 8, x'4279746573', x'4259544553', 3, x'00ff5c00'),
    (7, 9, x'4e616d6532', x'4e414d4532', 1, x'');
PRAGMA user_version = 1;
)sql";

// The same keys and values in the second version, a row per key holding its values (see ValueList).
constexpr const char* SecondVersion = R"sql(
PRAGMA journal_mode = WAL;
CREATE TABLE keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER NOT NULL, name BLOB NOT NULL,
    fold BLOB NOT NULL, class BLOB NOT NULL, written INTEGER NOT NULL, vals BLOB NOT NULL DEFAULT x'',
    UNIQUE(parent, fold));
INSERT INTO keys VALUES (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT', x'', 0, x''),
    (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER', x'', 0, x''),
    (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE', x'', 0, x''), (4, 0, 'HKEY_USERS', 'HKEY_USERS', x'', 0, x''),
    (5, 0, 'HKEY_PERFORMANCE_DATA', 'HKEY_PERFORMANCE_DATA', x'', 0, x''),
    (6, 0, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG', x'', 0, x''),
    (7, 0, 'HKEY_DYN_DATA', 'HKEY_DYN_DATA', x'', 0, x''),
    (8, 2, x'4d6f746f72', x'4d4f544f52', x'4d6f746f72436c617373', 132000000000000000,
     x'050000000400000004000000' || x'5370656564' || x'10000000' ||
     x'000000000100000007000000' || x'64656661756c74' ||
     x'050000000300000004000000' || x'4279746573' || x'00ff5c00'),
    (9, 8, x'41786973', x'41584953', x'', 132000000000000001,
     x'040000000100000004000000' || x'4e616d65' || x'61786973' || x'050000000100000000000000' || x'4e616d6532'),
    (10, 2, x'456d707479', x'454d505459', x'', 132000000000000002, x'');
PRAGMA user_version = 2;
)sql";

class RegStoreUpgradeTest : public RegStoreFileTest {
protected:
    void Exec(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_path.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
    std::string Values(RegStore& store, const char* path) {
        RegHandle key = 0;
        EXPECT_EQ(store.OpenKeyEx(User, path, 0, reg::KeyRead, &key), reg::Success);
        std::string listed;
        for (std::uint32_t index = 0;; ++index) {
            char name[16];
            std::uint32_t nameLength = sizeof name;
            std::uint32_t type = 0;
            unsigned char data[16];
            std::uint32_t size = sizeof data;
            if (store.EnumValue(key, index, name, &nameLength, &type, data, &size) != reg::Success) {
                return listed;
            }
            listed += std::string(name, nameLength) + ":" + std::to_string(type) + ":" +
                      std::string(reinterpret_cast<const char*>(data), size) + ";";
        }
    }
    // The first column of the first row a statement gives, as text.
    std::string Query(const std::string& path, const char* sql) {
        sqlite3* db = nullptr;
        sqlite3_stmt* statement = nullptr;
        std::string answer;
        EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        if (sqlite3_step(statement) == SQLITE_ROW) {
            answer = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return answer;
    }
    FileTime Written(RegStore& store, const char* path) {
        RegHandle key = 0;
        EXPECT_EQ(store.OpenKeyEx(User, path, 0, reg::KeyRead, &key), reg::Success);
        FileTime time = 0;
        store.QueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &time);
        return time;
    }
};

TEST_F(RegStoreUpgradeTest, OlderStoresKeepEveryValueInItsOrder) {
    for (const char* older : {FirstVersion, SecondVersion}) {
        SCOPED_TRACE(older == FirstVersion ? "first version" : "second version");
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(m_path + suffix);
        }
        Exec(older);
        for (int opening = 0; opening < 2; ++opening) {
            SCOPED_TRACE(opening == 0 ? "upgraded" : "reopened");
            RegStore store(m_path);
            EXPECT_EQ(Values(store, "Motor"), "Speed:4:\x10\0\0\0;:1:default;Bytes:3:\0\xff\x5c\0;"s);
            EXPECT_EQ(Values(store, "Motor\\Axis"), "Name:1:axis;Name2:1:;");
            EXPECT_EQ(Values(store, "Empty"), "");
            EXPECT_EQ(Written(store, "Motor"), 132000000000000000u) << "upgrading is not writing";
            EXPECT_EQ(Written(store, "Motor\\Axis"), 132000000000000001u);
            RegHandle motor = 0;
            ASSERT_EQ(store.OpenKeyEx(User, "MOTOR", 0, reg::KeyAllAccess, &motor), reg::Success);
            char keyClass[16];
            std::uint32_t classLength = sizeof keyClass;
            ASSERT_EQ(store.QueryInfoKey(motor, keyClass, &classLength, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr),
                      reg::Success);
            EXPECT_EQ(std::string(keyClass, classLength), "MotorClass");
        }
        // A key made after the upgrade gets an id no earlier key had.
        RegStore store(m_path);
        RegHandle key = 0;
        ASSERT_EQ(store.CreateKeyEx(User, "New", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        ASSERT_EQ(store.SetValueEx(key, "v", reg::Sz, reinterpret_cast<const unsigned char*>("1"), 1), reg::Success);
        EXPECT_EQ(Values(store, "New"), "v:1:1;");
        EXPECT_EQ(Values(store, "Motor"), "Speed:4:\x10\0\0\0;:1:default;Bytes:3:\0\xff\x5c\0;"s);
        EXPECT_EQ(Query(m_path, "PRAGMA user_version"), "3");
    }
}

TEST_F(RegStoreUpgradeTest, AStoreOfANewerVersionIsNotTouched) {
    Exec(std::string(FirstVersion) + "PRAGMA user_version = 4;");
    try {
        RegStore store(m_path);
        ADD_FAILURE() << "opened a store of a newer version";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), reg::StoreUnusableError);
        EXPECT_NE(error.Description().find("newer version (store version 4, this one reads up to 3)"),
                  std::string::npos)
            << error.Description();
    }
    Exec("SELECT count(*) FROM vals");  // still the older layout: nothing was changed
}

// A reader changes nothing on the disk: an older store is read as if upgraded, an empty file as a store without
// keys, and its writes answer WriteProtected.
TEST_F(RegStoreUpgradeTest, AReaderChangesNothingOnTheDisk) {
    struct Case {
        const char* what;
        std::string sql;
        std::string motor;
        const char* version;
    };
    const std::vector<Case> cases{
        {"a first version store", FirstVersion, "Speed:4:\x10\0\0\0;:1:default;Bytes:3:\0\xff\x5c\0;"s, "1"},
        {"an empty file", "", "", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(m_path);
        std::ofstream(m_path).close();
        if (!c.sql.empty()) {
            Exec(c.sql);
        }
        const auto size = std::filesystem::file_size(m_path);
        {
            RegStore store(m_path, RegStore::DefaultBusyTime, RegStore::Access::ReadOnly);
            RegHandle key = 0;
            if (c.motor.empty()) {
                EXPECT_EQ(store.OpenKeyEx(User, "Motor", 0, reg::KeyRead, &key), reg::FileNotFound);
            } else {
                EXPECT_EQ(Values(store, "Motor"), c.motor);
            }
            EXPECT_EQ(store.CreateKeyEx(User, "New", nullptr, 0, reg::KeyAllAccess, &key, nullptr),
                      reg::WriteProtected);
        }
        EXPECT_EQ(std::filesystem::file_size(m_path), size);
        EXPECT_EQ(Query(m_path, "PRAGMA user_version"), c.version);
    }
}

// A copy made with VACUUM INTO (or any tool that writes a plain database) comes in rollback-journal mode; the
// store puts it back into WAL mode, without which readers would wait for writers.
TEST_F(RegStoreUpgradeTest, ACopiedStoreIsWrittenAheadAgain) {
    {
        RegStore store(m_path);
        RegHandle key = 0;
        ASSERT_EQ(store.CreateKeyEx(User, "Motor", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        ASSERT_EQ(store.SetValueEx(key, "v", reg::Sz, reinterpret_cast<const unsigned char*>("1"), 1), reg::Success);
    }
    const std::string copy = (m_folder / "copy.db").string();
    Exec("VACUUM INTO '" + copy + "'");
    ASSERT_EQ(Query(copy, "PRAGMA journal_mode"), "delete");
    RegStore store(copy);
    EXPECT_EQ(Values(store, "Motor"), "v:1:1;");
    EXPECT_EQ(Query(copy, "PRAGMA journal_mode"), "wal");
}

// A row damaged outside the store (another program, a failing disk) fails the calls that read it,
// and only those.
TEST_F(RegStoreUpgradeTest, ADamagedRowOfValuesFailsItsReadersWithoutHarm) {
    {
        RegStore store(m_path);
        RegHandle key = 0;
        ASSERT_EQ(store.CreateKeyEx(User, "Damaged", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        ASSERT_EQ(store.CreateKeyEx(User, "Tree\\Damaged", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        ASSERT_EQ(store.CreateKeyEx(User, "Sound", nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        ASSERT_EQ(store.SetValueEx(key, "v", reg::Sz, reinterpret_cast<const unsigned char*>("1"), 1), reg::Success);
    }
    Exec("UPDATE keys SET vals = x'05000000010000000100' WHERE name = CAST('Damaged' AS BLOB)");
    RegStore store(m_path);
    RegHandle key = 0;
    ASSERT_EQ(store.OpenKeyEx(User, "Damaged", 0, reg::KeyAllAccess, &key), reg::Success);
    char name[8];
    std::uint32_t nameLength = sizeof name;
    EXPECT_EQ(store.QueryValueEx(key, "v", nullptr, nullptr, nullptr), reg::RegistryIoFailed);
    EXPECT_EQ(store.EnumValue(key, 0, name, &nameLength, nullptr, nullptr, nullptr), reg::RegistryIoFailed);
    EXPECT_EQ(store.SetValueEx(key, "v", reg::Sz, reinterpret_cast<const unsigned char*>("1"), 1),
              reg::RegistryIoFailed);
    EXPECT_EQ(store.BeginBatch(RegistryApi::BatchUse::Write), reg::Success);
    EXPECT_EQ(store.SetValueEx(key, "v", reg::Sz, reinterpret_cast<const unsigned char*>("1"), 1),
              reg::RegistryIoFailed);
    EXPECT_EQ(store.EndBatch(), reg::RegistryIoFailed);
    EXPECT_EQ(Values(store, "Sound"), "v:1:1;");
    // Alone, and as a sub-key whose values come with its parent's listing.
    for (const auto& [exported, keyName] :
         {std::pair{"Damaged", "HKEY_CURRENT_USER\\Damaged"}, std::pair{"Tree", "HKEY_CURRENT_USER\\Tree\\Damaged"}}) {
        try {
            TypedImage(store).Save(reg::CurrentUser, "HKEY_CURRENT_USER", exported);
            ADD_FAILURE() << "a damaged key was exported";
        } catch (const Error& error) {
            EXPECT_EQ(error.Description(), "Failed to read value 0 of " + std::string(keyName) +
                                               ": the registry store cannot be read or written (a damaged file "
                                               "or a failing disk).");
        }
    }
    EXPECT_EQ(store.DeleteKey(User, "Damaged"), reg::Success) << "a damaged key can still be removed";
}

}  // namespace
}  // namespace vor::store
