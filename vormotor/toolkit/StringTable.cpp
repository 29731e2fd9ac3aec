#include "vormotor/toolkit/StringTable.h"

#include "vormotor/core/Error.h"

namespace vor {
namespace {

constexpr std::int32_t kHighestId = 65535;

bool InRange(std::int32_t id) {
    return id >= 0 && id <= kHighestId;
}

}  // namespace

StringTable::StringTable(std::initializer_list<std::pair<const std::int32_t, std::string>> strings) {
    for (const auto& [id, text] : strings) {
        Add(id, text);
    }
}

void StringTable::Add(std::int32_t id, std::string text) {
    if (!InRange(id) || m_strings.contains(id)) {
        throw Error(error_number::InvalidPropertyValue, "StringTable",
                    "String number " + std::to_string(id) + " is out of range or already defined");
    }
    m_strings.emplace(id, std::move(text));
}

std::string StringTable::Load(std::int32_t id) const {
    return Text(id);
}

const std::string& StringTable::Text(std::int32_t id) const {
    const auto found = m_strings.find(id);
    if (found == m_strings.end()) {
        throw Error(error_number::ResourceNotFound, "StringTable",
                    "Resource with identifier '" + std::to_string(id) + "' not found");
    }
    return found->second;
}

bool StringTable::Contains(std::int32_t id) const {
    return m_strings.contains(id);
}

}  // namespace vor
