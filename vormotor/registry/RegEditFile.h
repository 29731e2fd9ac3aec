#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/registry/UncarriedItem.h"

namespace vor {

struct ImageEntry;

// The registry editor's own files: a key tree with every value in its type, in UTF-8 or UTF-16LE with
// a byte-order mark (see RegFileText and RegEditForm for what each part takes).

// A file's bytes and what they do not carry of the tree.
struct RegEditExport {
    std::string bytes;
    std::vector<UncarriedItem> uncarried;
};

// The key at path below the root rootName/hive, with everything below it, as a file's bytes. Raises as
// TypedImage::Save does, and RegFileError for text UTF-16 cannot hold.
RegEditExport ExportRegEditFile(RegistryApi& api, std::int32_t hive, std::string_view rootName, const std::string& path,
                                bool utf16);

// A file read once, whole, before anything of it is written: its text decoded, the lines the import does
// not take listed, and everything else read and checked.
class RegEditImport {
public:
    // The hive a section's root name stands for; nothing for a name that stands for none.
    using HiveOfRoot = std::function<std::optional<std::int32_t>(std::string_view rootName)>;

    // Raises RegFileError for bytes that are not text in the code page of the registry calls; when no
    // line is refused, the first format error, naming the line, as TypedImage::Load does.
    RegEditImport(std::string bytes, HiveOfRoot hiveOf);
    ~RegEditImport();
    RegEditImport(const RegEditImport&) = delete;
    RegEditImport& operator=(const RegEditImport&) = delete;

    // One entry per line the import does not take, "Line N=>'line': why"; when there are any, Apply
    // writes nothing.
    const std::vector<std::string>& Refused() const { return m_refused; }

    // Writes every key and value in one batch, raising as TypedImage::Load does.
    void Apply(RegistryApi& api) const;

private:
    HiveOfRoot m_hiveOf;
    std::string m_image;
    std::vector<std::string> m_refused;
    std::vector<ImageEntry> m_entries;
};

}  // namespace vor
