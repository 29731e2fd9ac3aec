// CRegistry's image: LoadRegistry on arbitrary text, against private in-memory stores. It writes string
// values only, so SaveRegistry may leave out what a line cannot hold (a text with a bare line feed)
// but never writes a value in a form that loads back differently; whatever it writes loads again to
// the very same image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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
            for (const vor::UncarriedItem& item : registry.Uncarried()) {
                if (item.inImage && item.value.empty() && !item.wholeKey) {
                    throw vor::fuzz::NoRoundTrip{};
                }
                if (item.inImage) {
                    std::abort();
                }
            }
            return image;
        });
    return 0;
}
