#include "vormotor/registry/WholeEntryReader.h"

#include <algorithm>

namespace vor {

namespace {

// The platform's longest key name is 255 characters; a multi-byte ANSI code page can need more bytes.
constexpr std::size_t FirstNameBuffer = 256;
constexpr std::size_t LongestNameBuffer = 1 << 16;
// A value that changes while it is read can outgrow its buffer again; after this many tries it counts
// as unreadable.
constexpr int ReadAttempts = 8;

}  // namespace

WholeEntryReader::WholeEntryReader(RegistryApi& api) : m_api(api), m_nameBuffer(FirstNameBuffer, '\0') {}

bool WholeEntryReader::GrowNameBuffer() {
    if (m_nameBuffer.size() >= LongestNameBuffer) {
        return false;
    }
    m_nameBuffer.resize(m_nameBuffer.size() * 2);
    return true;
}

WholeEntryReader::Got WholeEntryReader::Failure(long result) {
    if (result == reg::NoMoreItems) {
        return Got::End;
    }
    m_lastFailure = result;
    return Got::Failed;
}

void WholeEntryReader::FitTo(RegHandle key, std::size_t dataLimit) {
    std::uint32_t longestName = 0;
    std::uint32_t longestData = 0;
    m_api.QueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName, &longestData, nullptr,
                       nullptr);
    m_nameBuffer.resize(std::max<std::size_t>(m_nameBuffer.size(), longestName + std::size_t{1}));
    m_dataBuffer.resize(std::max<std::size_t>(m_dataBuffer.size(), std::min<std::size_t>(longestData, dataLimit)));
}

WholeEntryReader::Got WholeEntryReader::Value(RegHandle key, std::uint32_t index, std::size_t dataLimit,
                                              std::string_view& name, std::uint32_t& type, std::string_view& data) {
    long result = reg::MoreData;
    for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
        auto nameLength = static_cast<std::uint32_t>(m_nameBuffer.size());
        auto size = static_cast<std::uint32_t>(m_dataBuffer.size());
        result = m_api.EnumValue(key, index, m_nameBuffer.data(), &nameLength, &type,
                                 reinterpret_cast<unsigned char*>(m_dataBuffer.data()), &size);
        if (result == reg::Success) {
            name = std::string_view(m_nameBuffer.data(), nameLength);
            data = std::string_view(m_dataBuffer.data(), size);
            return Got::Entry;
        }
        if (result != reg::MoreData) {
            break;
        }
        // Either buffer may be the short one: ask for the name and the data's size alone.
        nameLength = static_cast<std::uint32_t>(m_nameBuffer.size());
        result = m_api.EnumValue(key, index, m_nameBuffer.data(), &nameLength, &type, nullptr, &size);
        if (result == reg::MoreData && GrowNameBuffer()) {
            continue;
        }
        if (result != reg::Success) {
            break;
        }
        if (size > dataLimit) {
            name = std::string_view(m_nameBuffer.data(), nameLength);
            return Got::TooLong;
        }
        m_dataBuffer.resize(std::max<std::size_t>(size, m_dataBuffer.size()));
        result = reg::MoreData;
    }
    return Failure(result);
}

WholeEntryReader::Got WholeEntryReader::ValueName(RegHandle key, std::uint32_t index, std::string_view& name) {
    for (;;) {
        auto nameLength = static_cast<std::uint32_t>(m_nameBuffer.size());
        const long result = m_api.EnumValue(key, index, m_nameBuffer.data(), &nameLength, nullptr, nullptr, nullptr);
        if (result == reg::Success) {
            name = std::string_view(m_nameBuffer.data(), nameLength);
            return Got::Entry;
        }
        if (result != reg::MoreData || !GrowNameBuffer()) {
            return Failure(result);
        }
    }
}

WholeEntryReader::Got WholeEntryReader::SubKeyName(RegHandle key, std::uint32_t index, std::string_view& name) {
    for (;;) {
        const long result =
            m_api.EnumKey(key, index, m_nameBuffer.data(), static_cast<std::uint32_t>(m_nameBuffer.size()));
        if (result == reg::Success) {
            name = std::string_view(m_nameBuffer.c_str());
            return Got::Entry;
        }
        if (result != reg::MoreData || !GrowNameBuffer()) {
            return Failure(result);
        }
    }
}

}  // namespace vor
