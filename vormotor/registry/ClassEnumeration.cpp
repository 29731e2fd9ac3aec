#include "vormotor/registry/ClassEnumeration.h"

#include <algorithm>
#include <array>

namespace vor::class_enumeration {

namespace {

// One buffer per thread: a tree save reads thousands of values, and a fresh 10,000-byte buffer for
// each would cost more than the reads.
std::string& StringBuffer() {
    thread_local std::string buffer(StringBufferLength, '\0');
    return buffer;
}

long QueryData(RegistryApi& api, RegHandle key, const std::string& name, std::string& data) {
    std::string& buffer = StringBuffer();
    std::uint32_t size = StringBufferOffered;
    const long result =
        api.QueryValueEx(key, name.c_str(), nullptr, reinterpret_cast<unsigned char*>(buffer.data()), &size);
    if (result == reg::Success) {
        data.assign(buffer.data(), size);
    }
    return result;
}

}  // namespace

std::string TextOf(std::string_view data) {
    if (!data.empty() && data.back() == '\0') {
        data.remove_suffix(1);
    }
    return std::string(data);
}

long QueryString(RegistryApi& api, RegHandle key, const std::string& name, std::string& text) {
    const long result = QueryData(api, key, name, text);
    if (result == reg::Success) {
        text = TextOf(text);
    }
    return result;
}

std::uint32_t LongestValueName(RegistryApi& api, RegHandle key) {
    std::uint32_t longest = 0;
    api.QueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr);
    return longest;
}

Step ValueAt(RegistryApi& api, RegHandle key, std::uint32_t index, std::uint32_t longestName, Value& value,
             long& result) {
    value.name.assign(longestName + std::size_t{1}, '\0');
    auto nameLength = static_cast<std::uint32_t>(value.name.size());
    // The data comes with the name, sparing a look-up by name for nearly every value; when that one
    // call fails, the name is enumerated alone and the data queried by name, each failure counted
    // where it happens.
    std::string& buffer = StringBuffer();
    std::uint32_t size = StringBufferOffered;
    result = api.EnumValue(key, index, value.name.data(), &nameLength, &value.type,
                           reinterpret_cast<unsigned char*>(buffer.data()), &size);
    if (result == reg::Success) {
        value.name.resize(nameLength);
        value.data.assign(buffer.data(), size);
        return Step::Value;
    }
    nameLength = static_cast<std::uint32_t>(value.name.size());
    result = api.EnumValue(key, index, value.name.data(), &nameLength, &value.type, nullptr, nullptr);
    if (result != reg::Success) {
        return Step::End;
    }
    value.name.resize(nameLength);
    value.data.clear();
    result = QueryData(api, key, value.name, value.data);
    return result == reg::Success ? Step::Value : Step::UnreadData;
}

long SubKeyAt(RegistryApi& api, RegHandle key, std::uint32_t index, std::string& name) {
    std::array<char, NameBufferLength> buffer{};
    const long result = api.EnumKey(key, index, buffer.data(), buffer.size());
    if (result == reg::Success) {
        name.assign(buffer.begin(), std::find(buffer.begin(), buffer.end(), '\0'));
    }
    return result;
}

}  // namespace vor::class_enumeration
