// LoadRegistry on arbitrary text, against a private in-memory store. Beyond not crashing: whatever a
// load accepts must come out of SaveRegistry in a form that loads again to the very same image.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/registry/CRegistry.h"
#include "vormotor/regstore/RegStore.h"

namespace {

// The images of every root's whole tree.
std::vector<std::string> SaveEverything(const std::shared_ptr<vor::RegistryApi>& store) {
    constexpr std::array<std::int32_t, 7> Hives{
        vor::reg::ClassesRoot,     vor::reg::CurrentUser,   vor::reg::LocalMachine, vor::reg::Users,
        vor::reg::PerformanceData, vor::reg::CurrentConfig, vor::reg::DynData};
    std::vector<std::string> images;
    for (std::int32_t hive : Hives) {
        vor::CRegistry registry(store);
        std::string root;
        registry.OpenKey(hive, root, false);
        images.push_back(registry.SaveRegistry());
        if (!registry.Uncarried().empty()) {
            std::abort();  // nothing a load can write is beyond the image
        }
    }
    return images;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string image(reinterpret_cast<const char*>(data), size);
    auto first = std::make_shared<vor::RegStore>(vor::RegStore::InMemory);
    try {
        vor::CRegistry(first).LoadRegistry(image);
    } catch (const vor::Error&) {
        // A refused line; what came before it is in the store and must round-trip all the same.
    }
    const std::vector<std::string> saved = SaveEverything(first);
    auto second = std::make_shared<vor::RegStore>(vor::RegStore::InMemory);
    for (const std::string& root : saved) {
        vor::CRegistry(second).LoadRegistry(root);
    }
    if (SaveEverything(second) != saved) {
        std::abort();
    }
    return 0;
}
