#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

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

    RegistryBackend m_backend;
    std::string m_path;
};

}  // namespace vor::test
