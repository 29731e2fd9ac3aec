#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/registry/UncarriedItem.h"
#include "vormotor/registry/WholeEntryReader.h"

namespace vor {

// Appends the line of one value (with its line end) in the form of an image, or nothing; answers what
// the image does not carry of the value (its key left empty), or nothing when it carries it whole.
using ValueLineForm = std::optional<UncarriedItem> (*)(std::string& text, std::string_view name, std::uint32_t type,
                                                       std::string_view data);

// How much of a tree the walk reads.
enum class WalkReads {
    // What CRegistry's own enumerations give, ending where they end: values read into the class's
    // 9,999-byte buffer, a key's values ending at the first call that fails (a value whose data does not
    // fit is written with an empty text, as the key's last); sub-key names read into its 255-character
    // buffer, the listing ending at the first name that fails; each sub-key opened as OpenKey spells its
    // path, so a '/' in its name is a level. Nothing is left out of what is read; what the image cannot
    // bring back as it was, and what the enumerations did not reach, is listed.
    AsTheClassEnumerates,
    // Every value whole, up to the line limit, and every sub-key whatever its name's length; a listing
    // the registry refuses raises. Sub-keys whose names a section line cannot carry are left out, listed.
    Whole,
};

// Writes the sections of a key tree for SaveRegistry and TypedImage::Save: depth-first, each key's
// section and values before its sub-keys, on an explicit stack of open keys, so the depth of a tree
// costs no call stack. Each sub-key is opened below its parent's handle with the access OpenKey would
// ask for, and values are written in the form given.
class TextImageWriter {
public:
    TextImageWriter(RegistryApi& api, std::uint32_t access, ValueLineForm form, WalkReads reads,
                    std::vector<UncarriedItem>& uncarried);

    // key is open at path below the root named rootName.
    void Append(std::string& text, RegHandle key, std::string_view rootName, const std::string& path);

private:
    void AppendKey(std::string& text, RegHandle key);
    RegistryApi::VisitedValues AppendValuesAtOnce(std::string& text, RegHandle key, std::uint32_t dataCapacity);
    void AppendValuesAsTheClassEnumerates(std::string& text, RegHandle key);
    void AppendWholeValues(std::string& text, RegHandle key);
    std::vector<std::string> SubKeyNames(RegHandle key);
    // The name a sub-key is opened by below its parent, with m_path made the sub-key's; nothing for a
    // sub-key left out.
    std::optional<std::string> EnterSubKey(const std::string& name);
    // List what an enumeration that ended early did not reach, from index on.
    void ReportValuesFrom(RegHandle key, std::uint32_t index, const std::string& reason);
    void ReportSubKeysFrom(RegHandle key, std::uint32_t index, long result);
    void Report(std::optional<UncarriedItem> item);
    std::string KeyName() const;
    [[noreturn]] void Fail(std::int32_t number, const std::string& description) const;

    RegistryApi& m_api;
    std::uint32_t m_access;
    ValueLineForm m_form;
    WalkReads m_reads;
    std::vector<UncarriedItem>& m_uncarried;
    WholeEntryReader m_reader;
    std::string m_root;
    // Path of the key being written; grows and shrinks as the walk goes down and up.
    std::string m_path;
};

}  // namespace vor
