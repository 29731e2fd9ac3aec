#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "vormotor/core/Error.h"
#include "vormotor/registry/CRegistry.h"
#include "vormotor/registry/tests/RegistryBackend.h"

namespace vor::test {

inline constexpr std::int32_t RegistryFailure = static_cast<std::int32_t>(0x80040002u);

struct ExpectedError {
    std::int32_t number;
    std::string source;
    std::string description;
};

template <typename Call>
void ExpectRegistryError(Call&& call, const ExpectedError& expected) {
    try {
        call();
        ADD_FAILURE() << "no error raised, expected: " << expected.description;
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), expected.number);
        EXPECT_EQ(error.Source(), expected.source);
        EXPECT_EQ(error.Description(), expected.description);
    }
}

// Raw data of the given bytes, for values of any type.
inline std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

// A value as the registry keeps it; type ~0 for a value that does not exist.
struct Stored {
    std::uint32_t type = 0;
    std::string data;
    bool operator==(const Stored&) const = default;
};

// Each test works below its own key of HKEY_CURRENT_USER and removes it afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_backend = MakeRegistryBackend();
        m_path = UniqueTestPath();
    }
    void TearDown() override { DeleteTree(*m_backend.api, reg::CurrentUser, m_path); }

    std::unique_ptr<CRegistry> Open(const std::string& below = "", bool create = true) {
        auto registry = std::make_unique<CRegistry>(m_backend.api);
        std::string path = below.empty() ? m_path : m_path + "\\" + below;
        registry->OpenKey(reg::CurrentUser, path, create);
        return registry;
    }

    RegistryApi& Api() { return *m_backend.api; }

    // Below the test's key by its own handle: the ANSI functions of Wine take paths of at most 260
    // characters, less than the test's key and a name of 255.
    RegHandle Create(const std::string& below = "") {
        RegHandle top = 0;
        EXPECT_EQ(Api().CreateKeyEx(reg::HiveHandle(reg::CurrentUser), m_path.c_str(), nullptr, 0, reg::KeyAllAccess,
                                    &top, nullptr),
                  reg::Success);
        if (below.empty()) {
            return top;
        }
        RegHandle key = 0;
        EXPECT_EQ(Api().CreateKeyEx(top, below.c_str(), nullptr, 0, reg::KeyAllAccess, &key, nullptr), reg::Success);
        Api().CloseKey(top);
        return key;
    }

    // Writes as other programs do, with any type and data.
    void Put(const std::string& name, std::uint32_t type, std::string_view data, const std::string& below = "") {
        const RegHandle key = Create(below);
        EXPECT_EQ(Api().SetValueEx(key, name.c_str(), type, reinterpret_cast<const unsigned char*>(data.data()),
                                   static_cast<std::uint32_t>(data.size())),
                  reg::Success);
        Api().CloseKey(key);
    }

    Stored Get(const std::string& name, const std::string& below = "") {
        const RegHandle key = Create(below);
        Stored stored;
        std::uint32_t size = 0;
        if (Api().QueryValueEx(key, name.c_str(), &stored.type, nullptr, &size) == reg::Success) {
            stored.data.resize(size);
            Api().QueryValueEx(key, name.c_str(), nullptr, reinterpret_cast<unsigned char*>(stored.data.data()), &size);
            stored.data.resize(size);
        } else {
            stored.type = ~0u;
        }
        Api().CloseKey(key);
        return stored;
    }

    RegistryBackend m_backend;
    std::string m_path;
};

}  // namespace vor::test
