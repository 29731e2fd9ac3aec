#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

namespace vor {

// Numbered strings of a module's resources. Numbers are 16-bit.
class StringTable {
public:
    StringTable() = default;
    StringTable(std::initializer_list<std::pair<const std::int32_t, std::string>> strings);

    void Add(std::int32_t id, std::string text);
    // A number the table lacks (or one outside 0..65535) is a failure.
    std::string Load(std::int32_t id) const;
    // The same string without a copy: the table's strings live as long as the table.
    const std::string& Text(std::int32_t id) const;
    bool Contains(std::int32_t id) const;

private:
    std::map<std::int32_t, std::string> m_strings;
};

}  // namespace vor
