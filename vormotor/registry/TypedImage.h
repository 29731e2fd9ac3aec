#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/registry/TextImageReader.h"
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
    // everything below it, read in one consistent state of the registry without taking its write lock.
    // The key must exist. An empty path is the root's own key, written as [ROOT] and its sub-keys as
    // [ROOT\name], as the registry editor writes them. Raises as SaveRegistry does, and 0x80040020 when the
    // store is busy.
    std::string Save(std::int32_t hive, std::string_view rootName, const std::string& path);
    // What the last Save left out.
    const std::vector<UncarriedItem>& Uncarried() const { return m_uncarried; }

    // Reads the whole image and raises its first format error, naming the line, before anything is
    // written; then creates every section's key and writes every value with its type, in one batch. A
    // failed write raises, naming the line and the reason, and gives the batch up: on the portable store
    // nothing of the image is kept (the platform registry keeps what was written before it).
    void Load(std::string_view image, const HiveOfRoot& hiveOf);
    // The image read once, whole: its sections and values in order, or its first format error raised.
    // The entries view the image for the lines their errors name.
    static std::vector<ImageEntry> Read(std::string_view image, const HiveOfRoot& hiveOf);
    // Writes entries Read gave, as Load does.
    void Load(const std::vector<ImageEntry>& entries, const HiveOfRoot& hiveOf);

private:
    void Write(const std::vector<ImageEntry>& entries, const HiveOfRoot& hiveOf);

    RegistryApi& m_api;
    std::vector<UncarriedItem> m_uncarried;
};

}  // namespace vor
