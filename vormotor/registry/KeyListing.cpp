#include "vormotor/registry/KeyListing.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "vormotor/core/Error.h"
#include "vormotor/registry/ImageForm.h"
#include "vormotor/registry/RegistryErrors.h"
#include "vormotor/registry/Utf16Text.h"
#include "vormotor/registry/WholeEntryReader.h"

namespace vor {

namespace {

constexpr std::size_t NoDataLimit = std::numeric_limits<std::size_t>::max();

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// The text a value shows as; nothing when its data cannot be shown.
std::optional<std::string> Shown(std::uint32_t type, std::string_view data) {
    if (type == reg::Sz) {
        const std::string_view text = image::WithoutTerminatingNul(data);
        // Converting to UTF-16 tells text valid in the code page from stray bytes.
        if (std::none_of(text.begin(), text.end(), IsControl) && ToUtf16Le(text)) {
            return std::string(text);
        }
    }
    return image::OneLineNotation(type, data);
}

[[noreturn]] void Refused(const std::string& what, const std::string& keyName, long result) {
    throw Error(registry_error::OperationFailed, "vormotor-reg list",
                "Failed to read the " + what + " of " + keyName + ": the registry answered error " +
                    std::to_string(result) + ".");
}

}  // namespace

std::vector<std::string> ListKey(RegistryApi& api, RegHandle key, const std::string& keyName, std::ostream& out) {
    WholeEntryReader reader(api);
    std::string_view name;
    WholeEntryReader::Got got = WholeEntryReader::Got::End;
    for (std::uint32_t index = 0; (got = reader.SubKeyName(key, index, name)) == WholeEntryReader::Got::Entry;
         ++index) {
        out << '[' << name << "]\n";
    }
    if (got == WholeEntryReader::Got::Failed) {
        Refused("sub-keys", keyName, reader.LastFailure());
    }
    std::vector<std::string> unshown;
    reader.FitTo(key, NoDataLimit);
    std::string_view data;
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t type = 0;
        got = reader.Value(key, index, NoDataLimit, name, type, data);
        if (got == WholeEntryReader::Got::End) {
            return unshown;
        }
        if (got != WholeEntryReader::Got::Entry) {
            Refused("values", keyName, reader.LastFailure());
        }
        if (const std::optional<std::string> shown = Shown(type, data)) {
            out << name << '=' << *shown << '\n';
        } else {
            unshown.emplace_back(name);
        }
    }
}

}  // namespace vor
