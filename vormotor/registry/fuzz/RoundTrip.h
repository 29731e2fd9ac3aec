#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/regstore/RegStore.h"

namespace vor::fuzz {

inline constexpr std::array<std::int32_t, 7> Hives{reg::ClassesRoot, reg::CurrentUser,     reg::LocalMachine,
                                                   reg::Users,       reg::PerformanceData, reg::CurrentConfig,
                                                   reg::DynData};

// Thrown by a Save that finds something the image's own rules cannot bring back, such as a default
// value (a name that begins with NUL reaches the store as the empty name, and the empty name's line
// is refused on loading): such an input has no round trip to check.
struct NoRoundTrip {};

// Loads text into a fresh in-memory store and saves every root's tree; what a load accepts (up to a
// refused line, whose predecessors stay written) must save in a form that loads again to the very
// same images. Save(store, hive) answers a root's image and aborts on anything it reports that a
// loaded store should not hold.
template <typename Load, typename Save>
void CheckRoundTrip(const std::string& text, Load&& load, Save&& save) {
    const auto saveAll = [&](const std::shared_ptr<RegistryApi>& store) {
        std::vector<std::string> images;
        for (std::int32_t hive : Hives) {
            images.push_back(save(store, hive));
        }
        return images;
    };
    auto first = std::make_shared<store::RegStore>(store::RegStore::InMemory);
    try {
        load(first, text);
    } catch (const Error&) {
        // A refused line or write; what came before it must round-trip all the same.
    }
    std::vector<std::string> saved;
    try {
        saved = saveAll(first);
    } catch (const NoRoundTrip&) {
        return;
    }
    auto second = std::make_shared<store::RegStore>(store::RegStore::InMemory);
    for (const std::string& image : saved) {
        load(second, image);
    }
    if (saveAll(second) != saved) {
        std::abort();
    }
}

}  // namespace vor::fuzz
