#pragma once

#include <cstdint>
#include <string>

namespace vor {

// The drive network's diagnostic log.
class TraceSink {
public:
    virtual ~TraceSink() = default;

    virtual std::int32_t TraceFlags() = 0;
    virtual void TraceWrite(const std::string& text) = 0;
};

}  // namespace vor
