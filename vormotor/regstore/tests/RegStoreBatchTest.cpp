#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/regstore/RegStore.h"

namespace vor::store {
namespace {

const RegHandle User = reg::HiveHandle(reg::CurrentUser);

// What a call answered and gave back, as text, for comparing two runs.
using Transcript = std::vector<std::string>;

struct Step {
    enum Kind {
        Create,
        CreateBelow,
        Open,
        Close,
        Set,
        DeleteValue,
        Query,
        EnumValues,
        VisitValues,
        EnumKeys,
        Info,
        DeleteKey,
        Count
    };
    Kind kind;
    std::size_t path;
    std::size_t name;
    std::size_t data;
    std::size_t handle;
};

// Paths that share parents and differ only in case, names that differ only in case, and data of
// the same and of other sizes, so values are set again in place and not in place.
const std::vector<std::string> Paths = {"A", "A\\B", "a\\b\\C", "A\\B\\D", "E", "E\\F", "e\\G"};
const std::vector<std::string> Names = {"", "Speed", "SPEED", "Name", "name", "x"};
const std::vector<std::string> Data = {"1", "2", "longer data", "", "other data!"};

std::vector<Step> RandomSteps(std::mt19937& random, int count) {
    std::vector<Step> steps;
    const auto pick = [&](std::size_t size) { return std::uniform_int_distribution<std::size_t>(0, size - 1)(random); };
    for (int i = 0; i < count; ++i) {
        steps.push_back({static_cast<Step::Kind>(pick(Step::Count)), pick(Paths.size()), pick(Names.size()),
                         pick(Data.size()), pick(8)});
    }
    return steps;
}

class Runner {
public:
    explicit Runner(RegStore& store) : m_store(store) {}

    Transcript Run(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            RunStep(step);
        }
        return m_transcript;
    }

private:
    void RunStep(const Step& step) {
        const RegHandle handle = m_handles.empty() ? RegHandle{999} : m_handles[step.handle % m_handles.size()];
        const std::string& path = Paths[step.path];
        const std::string& name = Names[step.name];
        const std::string& data = Data[step.data];
        switch (step.kind) {
            case Step::Create: {
                RegHandle key = 0;
                std::uint32_t disposition = 0;
                Note("create " + path,
                     m_store.CreateKeyEx(User, path.c_str(), nullptr, 0, reg::KeyAllAccess, &key, &disposition),
                     std::to_string(disposition));
                Keep(key);
                break;
            }
            case Step::CreateBelow: {
                // Below a handle, which may be that of a key the batch has not written yet.
                RegHandle key = 0;
                const std::string sub = "Sub" + name;
                Note("create below " + sub,
                     m_store.CreateKeyEx(handle, sub.c_str(), nullptr, 0, reg::KeyAllAccess, &key, nullptr));
                Keep(key);
                break;
            }
            case Step::Open: {
                RegHandle key = 0;
                Note("open " + path, m_store.OpenKeyEx(User, path.c_str(), 0, reg::KeyAllAccess, &key));
                Keep(key);
                break;
            }
            case Step::Close:
                if (!m_handles.empty()) {
                    m_handles.erase(m_handles.begin() + static_cast<std::ptrdiff_t>(step.handle % m_handles.size()));
                }
                Note("close", m_store.CloseKey(handle));
                break;
            case Step::Set:
                Note("set " + name, m_store.SetValueEx(handle, name.c_str(), reg::Sz,
                                                       reinterpret_cast<const unsigned char*>(data.data()),
                                                       static_cast<std::uint32_t>(data.size())));
                break;
            case Step::DeleteValue:
                Note("delete value " + name, m_store.DeleteValue(handle, name.c_str()));
                break;
            case Step::Query: {
                std::uint32_t type = 0;
                std::string buffer(32, '\0');
                auto size = static_cast<std::uint32_t>(buffer.size());
                const long result = m_store.QueryValueEx(handle, name.c_str(), &type,
                                                         reinterpret_cast<unsigned char*>(buffer.data()), &size);
                Note("query " + name, result, result == reg::Success ? buffer.substr(0, size) : "");
                break;
            }
            case Step::EnumValues:
                Note("values", reg::Success, Values(handle));
                break;
            case Step::VisitValues: {
                // What is read at once, then enumerated from where the visit stopped, is what enumerating gives.
                const std::string visited = VisitedValues(handle);
                EXPECT_EQ(visited, Values(handle));
                Note("visited values", reg::Success, visited);
                break;
            }
            case Step::EnumKeys:
                Note("sub-keys", reg::Success, SubKeys(handle));
                break;
            case Step::Info: {
                std::uint32_t subKeys = 0;
                std::uint32_t values = 0;
                std::uint32_t longestName = 0;
                std::uint32_t longestData = 0;
                Note("info",
                     m_store.QueryInfoKey(handle, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, &longestName,
                                          &longestData, nullptr, nullptr),
                     std::to_string(subKeys) + " " + std::to_string(values) + " " + std::to_string(longestName) + " " +
                         std::to_string(longestData));
                break;
            }
            case Step::DeleteKey:
                Note("delete key " + path, m_store.DeleteKey(User, path.c_str()));
                break;
            case Step::Count:
                break;
        }
    }

    std::string Values(RegHandle key) { return ValuesFrom(key, 0); }

    std::string ValuesFrom(RegHandle key, std::uint32_t first) {
        std::string listed;
        for (std::uint32_t index = first;; ++index) {
            char name[64];
            std::uint32_t nameLength = sizeof name;
            std::string data(32, '\0');
            auto size = static_cast<std::uint32_t>(data.size());
            const long result = m_store.EnumValue(key, index, name, &nameLength, nullptr,
                                                  reinterpret_cast<unsigned char*>(data.data()), &size);
            if (result != reg::Success) {
                return listed + "end " + std::to_string(result);
            }
            listed += std::string(name, nameLength) + "=" + data.substr(0, size) + "; ";
        }
    }

    // A data buffer shorter than some of the data, so a visit stops early.
    std::string VisitedValues(RegHandle key) {
        constexpr std::uint32_t DataCapacity = 4;
        std::string listed;
        const RegistryApi::VisitedValues visited =
            m_store.VisitValues(key, DataCapacity, [&](std::string_view name, std::uint32_t, std::string_view data) {
                EXPECT_LE(data.size(), DataCapacity);
                listed += std::string(name) + "=" + std::string(data) + "; ";
            });
        return listed + (visited.all ? "end " + std::to_string(reg::NoMoreItems) : ValuesFrom(key, visited.count));
    }

    std::string SubKeys(RegHandle key) {
        std::string listed;
        for (std::uint32_t index = 0;; ++index) {
            char name[64];
            const long result = m_store.EnumKey(key, index, name, sizeof name);
            if (result != reg::Success) {
                return listed + "end " + std::to_string(result);
            }
            listed += std::string(name) + "; ";
        }
    }

    void Keep(RegHandle key) {
        if (key != 0) {
            m_handles.push_back(key);
        }
    }
    void Note(const std::string& call, long result, const std::string& output = "") {
        m_transcript.push_back(call + " -> " + std::to_string(result) + (output.empty() ? "" : " " + output));
    }

    RegStore& m_store;
    std::vector<RegHandle> m_handles;
    Transcript m_transcript;
};

// The whole tree below HKEY_CURRENT_USER: keys, their classes and their values in order.
std::string Dump(RegStore& store, RegHandle key = User, const std::string& path = "") {
    std::string dump = "[" + path + "]";
    for (std::uint32_t index = 0;; ++index) {
        char name[64];
        std::uint32_t nameLength = sizeof name;
        std::string data(32, '\0');
        auto size = static_cast<std::uint32_t>(data.size());
        if (store.EnumValue(key, index, name, &nameLength, nullptr, reinterpret_cast<unsigned char*>(data.data()),
                            &size) != reg::Success) {
            break;
        }
        dump += std::string(name, nameLength) + "=" + data.substr(0, size) + ";";
    }
    for (std::uint32_t index = 0;; ++index) {
        char name[64];
        if (store.EnumKey(key, index, name, sizeof name) != reg::Success) {
            break;
        }
        RegHandle sub = 0;
        EXPECT_EQ(store.OpenKeyEx(key, name, 0, reg::KeyRead, &sub), reg::Success);
        dump += Dump(store, sub, path + "\\" + name);
        store.CloseKey(sub);
    }
    return dump;
}

// A batch keeps work in memory and writes it late; whatever it does, each call answers as it would
// alone and the store ends up the same.
TEST(RegStoreBatchTest, CallsInABatchAnswerAndLeaveWhatTheyWouldAlone) {
    std::mt19937 random(20261206);
    constexpr int Sequences = 400;
    for (int sequence = 0; sequence < Sequences; ++sequence) {
        const std::vector<Step> steps = RandomSteps(random, 40);
        RegStore alone(RegStore::InMemory);
        RegStore batched(RegStore::InMemory);
        const Transcript expected = Runner(alone).Run(steps);
        ASSERT_EQ(batched.BeginBatch(RegistryApi::BatchUse::Write), reg::Success);
        const Transcript actual = Runner(batched).Run(steps);
        ASSERT_EQ(batched.EndBatch(), reg::Success);
        ASSERT_EQ(actual, expected) << "sequence " << sequence;
        ASSERT_EQ(Dump(batched), Dump(alone)) << "sequence " << sequence;
    }
}

}  // namespace
}  // namespace vor::store
