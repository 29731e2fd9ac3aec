#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <signal.h>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/registry/CRegistry.h"
#include "vormotor/regstore/RegStore.h"
#include "vormotor/regstore/tests/RegStoreFileTest.h"

namespace vor::store {
namespace {

const RegHandle User = reg::HiveHandle(reg::CurrentUser);

std::string ValueName(int writer, int index) {
    return "w" + std::to_string(writer) + "_" + std::to_string(index);
}

// Runs in a forked child: writes values one call at a time and reports each one after its call
// returned, so the parent knows exactly which writes were acknowledged.
[[noreturn]] void WriteValues(const std::string& path, int writer, int count, int ackFd) {
    int status = 0;
    {
        RegStore store(path);
        RegHandle key = 0;
        if (store.CreateKeyEx(User, "Shared", nullptr, 0, reg::KeyAllAccess, &key, nullptr) != reg::Success) {
            _exit(2);
        }
        for (int i = 0; i < count && status == 0; ++i) {
            const std::string name = ValueName(writer, i);
            if (store.SetValueEx(key, name.c_str(), reg::Sz, reinterpret_cast<const unsigned char*>(name.data()),
                                 static_cast<std::uint32_t>(name.size())) != reg::Success) {
                status = 3;
                fprintf(stderr, "writer %d value %d failed\n", writer, i);
            } else if (ackFd >= 0 && write(ackFd, &i, sizeof i) != sizeof i) {
                status = 4;
            }
        }
    }
    _exit(status);
}

class RegStoreProcessTest : public RegStoreFileTest {
protected:
    std::vector<std::string> MissingValues(int writer, int count) {
        RegStore store(m_path);
        RegHandle key = 0;
        std::vector<std::string> missing;
        if (store.OpenKeyEx(User, "Shared", 0, reg::KeyRead, &key) != reg::Success) {
            return count == 0 ? missing : std::vector<std::string>{"Shared"};
        }
        for (int i = 0; i < count; ++i) {
            const std::string name = ValueName(writer, i);
            unsigned char data[64];
            std::uint32_t size = sizeof data;
            if (store.QueryValueEx(key, name.c_str(), nullptr, data, &size) != reg::Success ||
                std::string(reinterpret_cast<char*>(data), size) != name) {
                missing.push_back(name);
            }
        }
        return missing;
    }

    std::string IntegrityCheck() {
        sqlite3* db = nullptr;
        std::string result = "cannot open";
        if (sqlite3_open_v2(m_path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_exec(
                db, "PRAGMA integrity_check",
                [](void* out, int, char** values, char**) {
                    *static_cast<std::string*>(out) = values[0] ? values[0] : "";
                    return 0;
                },
                &result, nullptr);
        }
        sqlite3_close(db);
        return result;
    }
};

TEST_F(RegStoreProcessTest, TwoProcessesWriteOneStoreAtOnce) {
    constexpr int Writes = 150;
    std::vector<pid_t> children;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            WriteValues(m_path, writer, Writes, -1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    EXPECT_TRUE(MissingValues(0, Writes).empty());
    EXPECT_TRUE(MissingValues(1, Writes).empty());
    EXPECT_EQ(IntegrityCheck(), "ok");
}

// Kills a writer at random moments; after each kill the store must open, pass SQLite's integrity
// check and hold every write the writer had seen acknowledged.
TEST_F(RegStoreProcessTest, KilledWritersLoseNoAcknowledgedWrite) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMs(1, 60);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    { RegStore created(m_path); }  // the store exists before the first writer can be killed
    int rounds = 0;
    int acknowledged = 0;
    for (; rounds < 40 && (rounds < 8 || std::chrono::steady_clock::now() < deadline); ++rounds) {
        int acks[2];
        ASSERT_EQ(pipe(acks), 0);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            close(acks[0]);
            WriteValues(m_path, rounds, 1'000'000, acks[1]);
        }
        close(acks[1]);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself, status " << status;
        int count = 0;
        for (int index = 0; read(acks[0], &index, sizeof index) == sizeof index;) {
            count = index + 1;
        }
        close(acks[0]);
        acknowledged += count;
        ASSERT_EQ(IntegrityCheck(), "ok") << "round " << rounds;
        ASSERT_EQ(MissingValues(rounds, count), std::vector<std::string>{}) << "round " << rounds;
    }
    RecordProperty("rounds", rounds);
    RecordProperty("acknowledged", acknowledged);
    EXPECT_GT(acknowledged, 0);
}

// The text image of `keys` keys below HKEY_CURRENT_USER\<root>, three values each.
std::string TreeImage(const std::string& root, int keys) {
    std::string image = "Windows Registry Editor Version 5.00\r\n";
    for (int key = 0; key < keys; ++key) {
        image += "\r\n[HKEY_CURRENT_USER\\" + root + "\\Axis " + std::to_string(key) + "]\r\n";
        for (int value = 0; value < 3; ++value) {
            image += "\"v" + std::to_string(value) + "\"=\"" + std::to_string(key * value) + "\"\r\n";
        }
    }
    return image;
}

template <typename Work>
std::chrono::milliseconds Took(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

// A long import holds the store's write lock from its first write to its commit. Meanwhile another
// process opens the store, lists and exports without waiting, and its own writes fail after the
// busy time with an error that says so.
TEST_F(RegStoreProcessTest, AnotherProcessListsAndExportsDuringALongImport) {
    constexpr int ImportedKeys = 2000;
    constexpr std::chrono::milliseconds WriterPatience{300};
    // Far below the 10 s a waiting reader would take, far above what a read takes on a loaded machine.
    constexpr std::chrono::milliseconds ReadBound{3000};
    CRegistry(std::make_shared<RegStore>(m_path)).LoadRegistry(TreeImage("Existing", 5));
    int begun[2];
    int go[2];
    ASSERT_EQ(pipe(begun), 0);
    ASSERT_EQ(pipe(go), 0);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        close(begun[0]);
        close(go[1]);
        auto store = std::make_shared<RegStore>(m_path);
        RegistryApi::Batch import(*store);  // held open until the other process has looked
        CRegistry(store).LoadRegistry(TreeImage("Imported", ImportedKeys));
        char byte = 1;
        int status = write(begun[1], &byte, 1) == 1 && read(go[0], &byte, 1) == 1 ? 0 : 4;
        if (import.End() != reg::Success) {
            status = 5;
        }
        _exit(status);
    }
    close(begun[1]);
    close(go[0]);
    char byte = 0;
    ASSERT_EQ(read(begun[0], &byte, 1), 1) << "the importing process stopped early";

    std::shared_ptr<RegStore> store;
    EXPECT_LT(Took([&] { store = std::make_shared<RegStore>(m_path); }), ReadBound);
    CRegistry reader(store);
    std::string path = "Existing";
    std::vector<std::string> names;
    std::vector<std::string> data;
    std::int32_t count = 0;
    EXPECT_LT(Took([&] {
                  reader.OpenKey(reg::CurrentUser, path);
                  reader.EnumerateSections(names, count);
              }),
              ReadBound);
    EXPECT_EQ(count, 5);
    std::string exported;
    EXPECT_LT(Took([&] { exported = reader.SaveRegistry(); }), ReadBound);
    EXPECT_NE(exported.find("Existing\\Axis 4]"), std::string::npos);
    path = "Imported";
    reader.OpenKey(reg::CurrentUser, path);
    EXPECT_FALSE(reader.IsOpen()) << "the import is not visible before it commits";

    CRegistry writer(std::make_shared<RegStore>(m_path, WriterPatience));
    path = "Existing";
    writer.OpenKey(reg::CurrentUser, path);
    ASSERT_TRUE(writer.IsOpen());
    const std::vector<std::function<void()>> writes{[&] { writer.WriteValue("v0", "changed"); },
                                                    [&] { writer.LoadRegistry(TreeImage("Other", 1)); }};
    for (const auto& write : writes) {
        const auto waited = Took([&] {
            try {
                write();
                ADD_FAILURE() << "a write succeeded while another process held the store";
            } catch (const Error& error) {
                EXPECT_EQ(error.Number(), static_cast<std::int32_t>(0x80040020u));
                EXPECT_NE(error.Description().find("busy"), std::string::npos) << error.Description();
            }
        });
        EXPECT_GE(waited, WriterPatience);
        EXPECT_LT(waited, WriterPatience + ReadBound);
    }

    ASSERT_EQ(write(go[1], &byte, 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    close(begun[0]);
    close(go[1]);
    path = "Imported";
    reader.OpenKey(reg::CurrentUser, path);
    EXPECT_EQ(reader.NumOfSubKeys(), ImportedKeys);
    writer.WriteValue("v0", "changed");
    EXPECT_EQ(IntegrityCheck(), "ok");
}

}  // namespace
}  // namespace vor::store
