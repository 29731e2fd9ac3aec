// CRegistry's image: LoadRegistry on arbitrary text, against private in-memory stores. SaveRegistry
// writes whatever its enumerations reach as it is and lists in Uncarried() what will not load back as
// it was (a default value, a text longer than its buffer, a 255-character key name); an image with
// nothing listed loads again to the very same image.
#include <cstddef>
#include <cstdint>
#include <string>

#include "vormotor/registry/CRegistry.h"
#include "vormotor/registry/fuzz/RoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vor::fuzz::CheckRoundTrip(
        std::string(reinterpret_cast<const char*>(data), size),
        [](const std::shared_ptr<vor::RegistryApi>& store, const std::string& image) {
            vor::CRegistry(store).LoadRegistry(image);
        },
        [](const std::shared_ptr<vor::RegistryApi>& store, std::int32_t hive) {
            vor::CRegistry registry(store);
            std::string root;
            registry.OpenKey(hive, root, false);
            std::string image = registry.SaveRegistry();
            if (!registry.Uncarried().empty()) {
                throw vor::fuzz::NoRoundTrip{};
            }
            return image;
        });
    return 0;
}
