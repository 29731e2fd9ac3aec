// The typed image vormotor-reg reads: TypedImage::Load on arbitrary text, against private in-memory
// stores. Whatever it writes, of any type, saves whole (nothing uncarried) and loads again to the very
// same image.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "vormotor/registry/TypedImage.h"
#include "vormotor/registry/fuzz/RoundTrip.h"

namespace {

struct Root {
    std::string_view name;
    std::int32_t hive;
};
constexpr std::array<Root, 7> Roots{{
    {"HKEY_CLASSES_ROOT", vor::reg::ClassesRoot},
    {"HKEY_CURRENT_USER", vor::reg::CurrentUser},
    {"HKEY_LOCAL_MACHINE", vor::reg::LocalMachine},
    {"HKEY_USERS", vor::reg::Users},
    {"HKEY_PERFORMANCE_DATA", vor::reg::PerformanceData},
    {"HKEY_CURRENT_CONFIG", vor::reg::CurrentConfig},
    {"HKEY_DYN_DATA", vor::reg::DynData},
}};

std::optional<std::int32_t> HiveOf(std::string_view name) {
    for (const Root& root : Roots) {
        if (root.name == name) {
            return root.hive;
        }
    }
    return std::nullopt;
}

std::string_view NameOf(std::int32_t hive) {
    for (const Root& root : Roots) {
        if (root.hive == hive) {
            return root.name;
        }
    }
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vor::fuzz::CheckRoundTrip(
        std::string(reinterpret_cast<const char*>(data), size),
        [](const std::shared_ptr<vor::RegistryApi>& store, const std::string& image) {
            vor::TypedImage(*store).Load(image, HiveOf);
        },
        [](const std::shared_ptr<vor::RegistryApi>& store, std::int32_t hive) {
            vor::TypedImage typed(*store);
            std::string image = typed.Save(hive, NameOf(hive), "");
            if (!typed.Uncarried().empty()) {
                std::abort();
            }
            return image;
        });
    return 0;
}
