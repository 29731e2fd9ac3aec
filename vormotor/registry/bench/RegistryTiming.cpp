// Save and load timings of CRegistry on this build's registry: the platform registry on Windows
// (where Google Benchmark is not at hand: it is packaged for the host only), the store at its
// default location elsewhere. The same program on both sides makes a fair comparison
// (scripts/bench-registry.sh). Prints keys per second for each size and direction: the load
// once, the save as the median of several saves of what was loaded.
// Usage: registry_timing [keys...]   (default 1000 2000 4000)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "vormotor/regapi/DefaultRegistryApi.h"
#include "vormotor/registry/CRegistry.h"
#include "vormotor/registry/bench/BenchTree.h"
#include "vormotor/registry/bench/Stopwatch.h"

namespace {

using vor::registry_bench::MedianSeconds;
using vor::registry_bench::Seconds;

const std::string Root = "Software\\VorMotorTiming";

// Deepest keys first: keys with sub-keys cannot be deleted.
void DeleteKeys(const std::shared_ptr<vor::RegistryApi>& api, const std::string& path) {
    vor::CRegistry registry(api);
    std::string keyStr = path;
    registry.OpenKey(vor::reg::CurrentUser, keyStr);
    if (!registry.IsOpen()) {
        return;
    }
    std::vector<std::string> names;
    std::int32_t count = 0;
    registry.EnumerateSections(names, count);
    for (const std::string& name : names) {
        DeleteKeys(api, path + "\\" + name);
    }
    registry.DeleteKey();
}

// In one batch: on the store one transaction, so the clean-up does not wait for the disk per key.
void DeleteTree(const std::shared_ptr<vor::RegistryApi>& api, const std::string& path) {
    vor::RegistryApi::Batch batch(*api);
    DeleteKeys(api, path);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) {
        sizes = {1000, 2000, 4000};
    }
    const auto api = vor::DefaultRegistryApi();
    for (int keys : sizes) {
        const std::string image = vor::registry_bench::TreeImage(Root, keys);
        DeleteTree(api, Root);
        const double load = Seconds([&] { vor::CRegistry(api).LoadRegistry(image); });
        vor::CRegistry registry(api);
        std::string path = Root;
        registry.OpenKey(vor::reg::CurrentUser, path);
        std::string saved;
        const double save = MedianSeconds(vor::registry_bench::SaveSamples, [&] { saved = registry.SaveRegistry(); });
        registry.CloseKey();
        DeleteTree(api, Root);
        if (saved.size() < image.size()) {
            std::fprintf(stderr, "saved image shorter than the loaded one\n");
            return 1;
        }
        std::printf("%5d keys: load %8.0f keys/s, save %8.0f keys/s\n", keys, keys / load, keys / save);
    }
    return 0;
}
