#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/contracts/TraceSink.h"
#include "vormotor/drivemodel/ModelHost.h"

namespace vor::model {

// The network's diagnostic log; it keeps every line written to it.
class ModelTraceSink final : public TraceSink {
public:
    ModelTraceSink(std::shared_ptr<ModelHost> host, std::int32_t flags) : m_host(std::move(host)), m_flags(flags) {}

    std::int32_t TraceFlags() override {
        m_host->Enter(valuelib::CallSite{"TraceSink.TraceFlags"});
        return m_flags;
    }
    void TraceWrite(const std::string& text) override {
        m_host->Enter(valuelib::CallSite{"TraceSink.TraceWrite"});
        m_lines.push_back(text);
    }

    void SetFlags(std::int32_t flags) noexcept { m_flags = flags; }
    std::int32_t Flags() const noexcept { return m_flags; }
    const std::vector<std::string>& Lines() const noexcept { return m_lines; }
    void ClearLines() noexcept { m_lines.clear(); }

private:
    std::shared_ptr<ModelHost> m_host;
    std::int32_t m_flags;
    std::vector<std::string> m_lines;
};

}  // namespace vor::model

// The names above as hosts know them, in vor.
namespace vor {
using model::ModelTraceSink;
}  // namespace vor
