#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vormotor/regapi/RegistryApi.h"

namespace vor {

// Reads a key's values and sub-key names whole, into buffers that grow to what each needs, so that no
// length ends a listing: for the typed image, for vormotor-reg's list, and for telling what CRegistry's
// own enumerations, which read into fixed buffers, did not reach. Names and data view the reader's
// buffers until its next call.
class WholeEntryReader {
public:
    explicit WholeEntryReader(RegistryApi& api);

    // Grows the buffers to the longest name and data the key reports, at most to dataLimit, sparing a
    // retry per long value.
    void FitTo(RegHandle key, std::size_t dataLimit);

    // Entry: read; TooLong: the value's data is longer than dataLimit (its name is read); End: past the
    // last entry; Failed: the registry refused, with the code LastFailure() gives.
    enum class Got { Entry, TooLong, End, Failed };

    // Value index with its type and data.
    Got Value(RegHandle key, std::uint32_t index, std::size_t dataLimit, std::string_view& name, std::uint32_t& type,
              std::string_view& data);
    // Value index's name alone.
    Got ValueName(RegHandle key, std::uint32_t index, std::string_view& name);
    // Sub-key index's name.
    Got SubKeyName(RegHandle key, std::uint32_t index, std::string_view& name);

    long LastFailure() const { return m_lastFailure; }

private:
    bool GrowNameBuffer();
    Got Failure(long result);

    RegistryApi& m_api;
    long m_lastFailure = reg::Success;
    std::string m_nameBuffer;
    std::string m_dataBuffer;
};

}  // namespace vor
