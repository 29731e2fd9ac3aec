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
    return {std::make_shared<store::RegStore>(store::RegStore::InMemory), true, false};
#endif
}

std::string UniqueTestPath() {
    static std::atomic<int> counter{0};
    return "Software\\VorMotorTest\\Run" + std::to_string(ProcessId()) + "_" + std::to_string(++counter);
}

// Depth-first on an explicit stack, each key deleted below its parent's handle once its sub-keys are
// gone: a deep tree costs neither call stack nor a walk from the root per key.
void DeleteTree(RegistryApi& api, std::int32_t hive, const std::string& path) {
    struct Level {
        RegHandle key;
        std::string name;
        // Sub-keys before this index could not be removed and are passed over.
        std::uint32_t skipped = 0;
    };
    RegHandle top = 0;
    if (api.OpenKeyEx(reg::HiveHandle(hive), path.c_str(), 0, reg::KeyAllAccess, &top) != reg::Success) {
        return;
    }
    std::vector<Level> levels{{top, path}};
    std::string name(256, '\0');
    while (!levels.empty()) {
        Level& level = levels.back();
        if (api.EnumKey(level.key, level.skipped, name.data(), static_cast<std::uint32_t>(name.size())) ==
            reg::Success) {
            RegHandle child = 0;
            if (api.OpenKeyEx(level.key, name.c_str(), 0, reg::KeyAllAccess, &child) == reg::Success) {
                levels.push_back({child, name.c_str()});
            } else {
                ++level.skipped;
            }
            continue;
        }
        const Level done = level;
        levels.pop_back();
        api.CloseKey(done.key);
        const RegHandle parent = levels.empty() ? reg::HiveHandle(hive) : levels.back().key;
        if (api.DeleteKey(parent, done.name.c_str()) != reg::Success && !levels.empty()) {
            ++levels.back().skipped;
        }
    }
}

}  // namespace vor::test
