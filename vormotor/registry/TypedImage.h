#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/registry/RegistryApi.h"
#include "vormotor/registry/UncarriedItem.h"

namespace vor {

// A key tree as text with every value in its own type, in the registry editor's notation (dword:,
// hex:, hex(N): with continuation lines; strings quoted as in CRegistry's image). This is the form
// vormotor-reg turns into and out of the registry editor's files; CRegistry's own image carries
// string values only. Works on the registry calls directly, so every type is written as it was read.
class TypedImage {
public:
    // The hive a section's root name stands for; nothing for a name that stands for none.
    using HiveOfRoot = std::function<std::optional<std::int32_t>(std::string_view rootName)>;

    explicit TypedImage(RegistryApi& api);

    // The signature line and the sections of the key at path below the root rootName/hive, with
    // everything below it; the key must exist. Raises as SaveRegistry does.
    std::string Save(std::int32_t hive, std::string_view rootName, const std::string& path);
    // What the last Save left out.
    const std::vector<UncarriedItem>& Uncarried() const { return m_uncarried; }

    // Reads the whole image first and raises its first format error, naming the line, before anything
    // is written; then creates every section's key and writes every value with its type. A failed
    // write ends it there; what was written before stays.
    void Load(std::string_view image, const HiveOfRoot& hiveOf);

private:
    RegistryApi& m_api;
    std::vector<UncarriedItem> m_uncarried;
};

}  // namespace vor
