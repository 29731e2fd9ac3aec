#include "vormotor/registry/tests/RegistryBackend.h"

#include <atomic>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "vormotor/registry/WinRegistryApi.h"
#else
#include <unistd.h>

#include "vormotor/regstore/RegStore.h"
#endif

namespace vor::test {

namespace {
int ProcessId() {
#ifdef _WIN32
    return static_cast<int>(GetCurrentProcessId());
#else
    return static_cast<int>(getpid());
#endif
}
}  // namespace

RegistryBackend MakeRegistryBackend() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const bool wine = ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    return {std::make_shared<WinRegistryApi>(), false, wine};
#else
    return {std::make_shared<RegStore>(RegStore::InMemory), true, false};
#endif
}

std::string UniqueTestPath() {
    static std::atomic<int> counter{0};
    return "Software\\VorMotorTest\\Run" + std::to_string(ProcessId()) + "_" + std::to_string(++counter);
}

void DeleteTree(RegistryApi& api, std::int32_t hive, const std::string& path) {
    RegHandle key = 0;
    if (api.OpenKeyEx(reg::HiveHandle(hive), path.c_str(), 0, reg::KeyAllAccess, &key) != reg::Success) {
        return;
    }
    std::vector<std::string> children;
    char name[256];
    for (std::uint32_t index = 0; api.EnumKey(key, index, name, sizeof name) == reg::Success; ++index) {
        children.emplace_back(name);
    }
    api.CloseKey(key);
    for (const std::string& child : children) {
        DeleteTree(api, hive, path + "\\" + child);
    }
    api.DeleteKey(reg::HiveHandle(hive), path.c_str());
}

}  // namespace vor::test
