// libFuzzer target: the profile loader. A text is either refused with the loader's error, one short
// line, or loaded into a profile from which a simulated drive builds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vormotor/core/Error.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/drivesim/SimDrive.h"

namespace {

constexpr std::size_t kMaxMessageBytes = 600;

void CheckRefusal(const vor::Error& refusal) {
    const std::string& message = refusal.Description();
    if (refusal.Number() != vor::model::ProfileLoader::kErrorNumber || message.size() > kMaxMessageBytes ||
        message.find('\n') != std::string::npos || !message.starts_with("fuzz.json: ")) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vor::model::Profile profile;
    try {
        profile = vor::model::ProfileLoader::Parse(std::string(reinterpret_cast<const char*>(data), size), "fuzz.json");
    } catch (const vor::Error& refusal) {
        CheckRefusal(refusal);
        return 0;
    }
    vor::sim::SimDrive drive(profile);
    return 0;
}
