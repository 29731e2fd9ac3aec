#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/registry/RegistryApi.h"
#include "vormotor/registry/UncarriedItem.h"

namespace vor {

// Appends the line of one value (with its line end) in the form of an image, or nothing; answers what
// the image does not carry of the value (its key left empty), or nothing when it carries it whole.
using ValueLineForm = std::optional<UncarriedItem> (*)(std::string& text, std::string_view name, std::uint32_t type,
                                                       std::string_view data);

// Writes the sections of a key tree for SaveRegistry and TypedImage::Save: depth-first, each key's
// section and values before its sub-keys, on an explicit stack of open keys, so the depth of a tree
// costs no call stack. Each sub-key is opened below its parent's handle with the access OpenKey would ask for.
// Values are read whole, with their type, in one enumeration call each, and written in the form given.
class TextImageWriter {
public:
    TextImageWriter(RegistryApi& api, std::uint32_t access, ValueLineForm form, std::vector<UncarriedItem>& uncarried);

    // key is open at path below the root named rootName.
    void Append(std::string& text, RegHandle key, std::string_view rootName, const std::string& path);

private:
    void AppendKey(std::string& text, RegHandle key);
    void AppendValues(std::string& text, RegHandle key);
    std::vector<std::string> SubKeyNames(RegHandle key);
    // Reads value index into m_nameBuffer/m_dataBuffer, name viewing the former.
    enum class Read { Value, LeftOut, End };
    Read ReadValue(RegHandle key, std::uint32_t index, std::string_view& name, std::uint32_t& type,
                   std::uint32_t& size);
    std::string KeyName() const;
    [[noreturn]] void Fail(std::int32_t number, const std::string& description) const;

    RegistryApi& m_api;
    std::uint32_t m_access;
    ValueLineForm m_form;
    std::vector<UncarriedItem>& m_uncarried;
    std::string m_root;
    // Path of the key being written; grows and shrinks as the walk goes down and up.
    std::string m_path;
    // Names of values and sub-keys, one at a time.
    std::string m_nameBuffer;
    std::string m_dataBuffer;
};

}  // namespace vor
