#include "vormotor/registry/TypedImage.h"

#include <algorithm>

#include "vormotor/core/Error.h"
#include "vormotor/registry/ImageForm.h"
#include "vormotor/registry/RegistryErrors.h"
#include "vormotor/registry/TextImageReader.h"
#include "vormotor/registry/TextImageWriter.h"

namespace vor {

namespace {

constexpr std::string_view Signature = "Windows Registry Editor Version 5.00\r\n";

std::optional<UncarriedItem> AppendTypedLine(std::string& text, std::string_view name, std::uint32_t type,
                                             std::string_view data) {
    if (std::optional<std::string> problem = image::AppendValueLine(text, name, type, data)) {
        return UncarriedItem{"", std::string(name), false, false, "left out: " + *problem};
    }
    if (name.empty()) {
        return UncarriedItem{"", "", false, true, "the import cannot take a key's default value back"};
    }
    return std::nullopt;
}

// Machine-wide keys are opened for reading only, as CRegistry opens them.
std::uint32_t AccessFor(std::int32_t hive) {
    return hive == reg::LocalMachine ? reg::KeyRead : reg::KeyAllAccess | reg::GenericAll;
}

// The key a section names, created when missing, with OpenKey's spelling of paths.
class SectionKey {
public:
    explicit SectionKey(RegistryApi& api) : m_api(api) {}
    ~SectionKey() { Close(); }
    SectionKey(const SectionKey&) = delete;
    SectionKey& operator=(const SectionKey&) = delete;

    void Open(std::int32_t hive, std::string_view path) {
        Close();
        if (path.starts_with('\\')) {
            path.remove_prefix(1);
        }
        m_path.assign(path);
        std::replace(m_path.begin(), m_path.end(), '/', '\\');
        if (m_api.CreateKeyEx(reg::HiveHandle(hive), m_path.c_str(), nullptr, reg::OptionNonVolatile, AccessFor(hive),
                              &m_key, nullptr) != reg::Success) {
            m_key = 0;
        }
    }
    RegHandle Key() const { return m_key; }

private:
    void Close() {
        if (m_key != 0) {
            m_api.CloseKey(m_key);
            m_key = 0;
        }
    }
    RegistryApi& m_api;
    RegHandle m_key = 0;
    // The path as the registry calls are given it, kept from section to section for its storage.
    std::string m_path;
};

}  // namespace

TypedImage::TypedImage(RegistryApi& api) : m_api(api) {}

std::string TypedImage::Save(std::int32_t hive, std::string_view rootName, const std::string& path) {
    m_uncarried.clear();
    RegistryApi::Batch batch(m_api);
    RegHandle key = 0;
    if (m_api.OpenKeyEx(reg::HiveHandle(hive), path.c_str(), 0, AccessFor(hive), &key) != reg::Success) {
        throw Error(registry_error::OperationFailed, "CRegistry:EnumerateValues", "No key is currently open.");
    }
    std::string text(Signature);
    try {
        TextImageWriter(m_api, AccessFor(hive), AppendTypedLine, WalkReads::Whole, m_uncarried)
            .Append(text, key, rootName, path);
    } catch (...) {
        m_api.CloseKey(key);
        throw;
    }
    m_api.CloseKey(key);
    return text;
}

void TypedImage::Load(std::string_view image, const HiveOfRoot& hiveOf) {
    {
        TextImageReader check(image);
        for (ImageEntry entry; check.Next(entry);) {
            if (entry.kind == ImageEntry::Kind::Section && !hiveOf(entry.root)) {
                check.FailOnLastLine(registry_error::BadSection, "Format Error: unknown root.");
            }
        }
    }
    // Read a second time rather than kept from the check: an entry kept needs storage of its own, which
    // costs more than reading its line again into the same entry.
    RegistryApi::Batch batch(m_api);
    TextImageReader reader(image);
    SectionKey section(m_api);
    std::string lastValue;
    bool written = true;
    for (ImageEntry entry; written && reader.Next(entry);) {
        if (entry.kind == ImageEntry::Kind::Section) {
            section.Open(*hiveOf(entry.root), entry.path);
            continue;
        }
        if (section.Key() == 0) {
            throw Error(registry_error::OperationFailed, "CRegistry:WriteValue", "No key is currently open.");
        }
        lastValue = entry.name;
        written = m_api.SetValueEx(section.Key(), entry.name.c_str(), entry.type,
                                   reinterpret_cast<const unsigned char*>(entry.data.data()),
                                   static_cast<std::uint32_t>(entry.data.size())) == reg::Success;
    }
    if (!written || batch.End() != reg::Success) {
        throw Error(registry_error::OperationFailed, "CRegistry:WriteValue",
                    "Failed to write new value to " + lastValue + " from Registry.");
    }
}

}  // namespace vor
