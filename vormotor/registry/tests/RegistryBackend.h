#pragma once

#include <memory>
#include <string>

#include "vormotor/regapi/RegistryApi.h"

namespace vor::test {

// The registry a test runs against: a fresh in-memory store in the portable build, the platform
// registry on Windows (and so Wine's, where it runs there).
struct RegistryBackend {
    std::shared_ptr<RegistryApi> api;
    bool portable = false;
    bool wine = false;
};

RegistryBackend MakeRegistryBackend();

// A key path below HKEY_CURRENT_USER (or any hive) no other test run uses.
std::string UniqueTestPath();

// Removes a key and everything below it; missing keys are fine.
void DeleteTree(RegistryApi& api, std::int32_t hive, const std::string& path);

}  // namespace vor::test
