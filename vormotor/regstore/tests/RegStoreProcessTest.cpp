#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <signal.h>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "vormotor/regstore/RegStore.h"

namespace vor {
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

class RegStoreProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder =
            std::filesystem::temp_directory_path() / ("regstore-process-" + std::to_string(getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        m_path = (m_folder / "registry.db").string();
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

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

    std::filesystem::path m_folder;
    std::string m_path;
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

}  // namespace
}  // namespace vor
