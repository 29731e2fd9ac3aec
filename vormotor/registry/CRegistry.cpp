#include "vormotor/registry/CRegistry.h"

#include <array>
#include <string_view>
#include <utility>

#include "vormotor/core/Error.h"
#include "vormotor/regapi/DefaultRegistryApi.h"
#include "vormotor/registry/ClassEnumeration.h"
#include "vormotor/registry/ImageForm.h"
#include "vormotor/registry/RegistryErrors.h"
#include "vormotor/registry/StringImageForm.h"
#include "vormotor/registry/TextImageWriter.h"

namespace vor {

namespace {

using namespace registry_error;

constexpr std::string_view ApplicationName = "VorMotorCtl";
constexpr std::string_view NoKeyOpen = "No key is currently open.";
using image::LineEnd;
using image::Signature;

struct Root {
    std::string_view name;
    std::int32_t hive;
};
constexpr std::array<Root, 7> Roots{{
    {"HKEY_CLASSES_ROOT", reg::ClassesRoot},
    {"HKEY_CURRENT_USER", reg::CurrentUser},
    {"HKEY_LOCAL_MACHINE", reg::LocalMachine},
    {"HKEY_USERS", reg::Users},
    {"HKEY_PERFORMANCE_DATA", reg::PerformanceData},
    {"HKEY_CURRENT_CONFIG", reg::CurrentConfig},
    {"HKEY_DYN_DATA", reg::DynData},
}};

std::string RootName(std::int32_t hive) {
    for (const Root& root : Roots) {
        if (root.hive == hive) {
            return std::string(root.name);
        }
    }
    return std::to_string(hive);
}

std::int32_t RootHive(std::string_view name, std::int32_t fallback) {
    for (const Root& root : Roots) {
        if (root.name == name) {
            return root.hive;
        }
    }
    return fallback;
}

[[noreturn]] void Raise(std::int32_t number, std::string_view source, std::string description) {
    throw Error(number, std::string(source), std::move(description));
}

// A store kept busy by another program is reported as such, not as a failed write.
void RaiseIfBusy(long result, std::string_view source) {
    if (result == reg::StoreBusy) {
        Raise(reg::StoreBusyError, source, reg::StoreBusyText);
    }
}

}  // namespace

CRegistry::CRegistry() : CRegistry(DefaultRegistryApi()) {}

CRegistry::CRegistry(std::shared_ptr<RegistryApi> api) : m_api(std::move(api)) {}

CRegistry::~CRegistry() {
    CloseKey();
}

void CRegistry::OpenKey(std::int32_t Section, std::string& keyStr, bool blnCreateNew) {
    if (m_open) {
        CloseKey();
    }
    if (!keyStr.empty() && keyStr.front() == '\\') {
        keyStr.erase(0, 1);
    }
    for (std::size_t slash = keyStr.find('/'); slash != std::string::npos; slash = keyStr.find('/', slash + 1)) {
        keyStr[slash] = '\\';
    }
    // Machine-wide keys are opened for reading only: ordinary users may not write there.
    const std::uint32_t access = Section == reg::LocalMachine ? reg::KeyRead : reg::KeyAllAccess | reg::GenericAll;
    const RegHandle root = reg::HiveHandle(Section);
    RegHandle key = 0;
    long result = m_api->OpenKeyEx(root, keyStr.c_str(), 0, access, &key);
    if (result != reg::Success && blnCreateNew) {
        result =
            m_api->CreateKeyEx(root, keyStr.c_str(), nullptr, reg::OptionNonVolatile, reg::KeyAllAccess, &key, nullptr);
    }
    if (result == reg::Success) {
        m_open = true;
        m_key = key;
        m_keyPath = keyStr;
        m_hive = Section;
    }
}

void CRegistry::OpenKey(std::int32_t Section, std::string_view keyStr, bool blnCreateNew) {
    std::string normalised(keyStr);
    OpenKey(Section, normalised, blnCreateNew);
}

void CRegistry::CloseKey() {
    if (m_key != 0) {
        m_api->CloseKey(m_key);
        m_open = false;
        m_keyPath.clear();
        m_key = 0;
    }
}

void CRegistry::DeleteKey() {
    const std::string path = m_keyPath;
    CloseKey();
    m_api->DeleteKey(reg::HiveHandle(m_hive), path.c_str());
}

std::string CRegistry::ReadValue(const std::string& strValueName, const std::string& strDefault) {
    if (!m_open) {
        return strDefault;
    }
    std::string text;
    const long result = class_enumeration::QueryString(*m_api, m_key, strValueName, text);
    if (result == reg::MoreData) {
        Raise(OperationFailed, "CRegistry:ReadValue",
              "Failed to read value " + strValueName + " from Registry. Buffer too small.");
    }
    return result == reg::Success ? text : strDefault;
}

std::int32_t CRegistry::ReadDWORD(const std::string& strValueName, std::int32_t lngDefault) {
    if (!m_open) {
        return lngDefault;
    }
    std::array<unsigned char, 4> bytes{};
    std::uint32_t size = bytes.size();
    const long result = m_api->QueryValueEx(m_key, strValueName.c_str(), nullptr, bytes.data(), &size);
    if (result == reg::MoreData) {
        Raise(OperationFailed, "CRegistry:ReadValue",
              "Failed to read DWORD value '" + strValueName + "' from Registry. Buffer too small.");
    }
    if (result != reg::Success) {
        return lngDefault;
    }
    const std::uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return static_cast<std::int32_t>(value);
}

void CRegistry::WriteValue(const std::string& strValueName, const std::string& strNewValue) {
    if (!m_open) {
        Raise(OperationFailed, "CRegistry:WriteValue", std::string(NoKeyOpen));
    }
    const long result = m_api->SetValueEx(m_key, strValueName.c_str(), reg::Sz,
                                          reinterpret_cast<const unsigned char*>(strNewValue.data()),
                                          static_cast<std::uint32_t>(strNewValue.size()));
    RaiseIfBusy(result, "CRegistry:WriteValue");
    if (result != reg::Success) {
        Raise(OperationFailed, "CRegistry:WriteValue",
              "Failed to write new value to " + strValueName + " from Registry.");
    }
}

void CRegistry::WriteDWORD(const std::string& strValueName, std::int32_t strDWORD) {
    if (!m_open) {
        Raise(OperationFailed, "CRegistry:WriteValue", std::string(NoKeyOpen));
    }
    const auto value = static_cast<std::uint32_t>(strDWORD);
    const std::array<unsigned char, 4> bytes{static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                             static_cast<unsigned char>(value >> 16),
                                             static_cast<unsigned char>(value >> 24)};
    const long result = m_api->SetValueEx(m_key, strValueName.c_str(), reg::Dword, bytes.data(), bytes.size());
    RaiseIfBusy(result, "CRegistry:WriteValue");
    if (result != reg::Success) {
        Raise(OperationFailed, "CRegistry:WriteValue",
              "Failed to write new DWORD value to key '" + strValueName + "' from Registry.");
    }
}

void CRegistry::DeleteValue(const std::string& strValueName) {
    if (!m_open) {
        Raise(OperationFailed, "CRegistry:DeleteValue", std::string(NoKeyOpen));
    }
    const long result = m_api->DeleteValue(m_key, strValueName.c_str());
    RaiseIfBusy(result, "CRegistry:DeleteValue");
    if (result != reg::Success && result != reg::FileNotFound) {
        Raise(OperationFailed, "CRegistry:DeleteValue", "Failed to delete value " + strValueName + " from Registry.");
    }
}

void CRegistry::RefreshKeyInfo() {
    std::array<char, class_enumeration::NameBufferLength> keyClass{};
    std::uint32_t classLength = keyClass.size();
    KeyInfo info;
    const long result =
        m_open ? m_api->QueryInfoKey(m_key, keyClass.data(), &classLength, &info.subKeys, &info.maxSubKeyLength,
                                     &info.maxClassLength, &info.values, &info.maxValueNameLength, &info.maxValueLength,
                                     &info.securityDescriptorSize, &info.lastWriteTime)
               : reg::InvalidHandle;
    if (result != reg::Success) {
        Raise(OperationFailed, "CRegistry:RefreshKeyInfo", "Failed to retrieve key information.");
    }
    info.keyClass.assign(keyClass.data(), classLength);
    m_info = std::move(info);
}

std::int32_t CRegistry::Refreshed(std::uint32_t KeyInfo::*field) {
    RefreshKeyInfo();
    return static_cast<std::int32_t>(m_info.*field);
}

std::string CRegistry::KeyClass() {
    RefreshKeyInfo();
    return m_info.keyClass;
}

DateTime CRegistry::LastWriteTime() {
    try {
        RefreshKeyInfo();
    } catch (const Error&) {
        // The time of the last successful refresh stands in.
    }
    return DateTime::FromFileTime(m_info.lastWriteTime);
}

std::int32_t CRegistry::NumOfSubKeys() {
    return Refreshed(&KeyInfo::subKeys);
}

std::int32_t CRegistry::MaxSubkeyNameLength() {
    return Refreshed(&KeyInfo::maxSubKeyLength);
}

std::int32_t CRegistry::MaxClassNameLength() {
    return Refreshed(&KeyInfo::maxClassLength);
}

std::int32_t CRegistry::NumOfValues() {
    return Refreshed(&KeyInfo::values);
}

std::int32_t CRegistry::MaxValueNameLength() {
    return Refreshed(&KeyInfo::maxValueNameLength);
}

std::int32_t CRegistry::MaxValueLength() {
    return Refreshed(&KeyInfo::maxValueLength);
}

std::int32_t CRegistry::SecurityDescriptor() {
    return Refreshed(&KeyInfo::securityDescriptorSize);
}

bool CRegistry::EnumerateValues(std::vector<std::string>& names, std::vector<std::string>& data, std::int32_t& count) {
    if (!m_open) {
        Raise(OperationFailed, "CRegistry:EnumerateValues", std::string(NoKeyOpen));
    }
    EnumerateValuesInto(names, data, count);
    return true;
}

void CRegistry::EnumerateValuesInto(std::vector<std::string>& names, std::vector<std::string>& data,
                                    std::int32_t& count) {
    count = 0;
    names.clear();
    data.clear();
    const std::uint32_t longestName = class_enumeration::LongestValueName(*m_api, m_key);
    class_enumeration::Value value;
    for (std::uint32_t index = 0;; ++index) {
        long result = reg::Success;
        const class_enumeration::Step step =
            class_enumeration::ValueAt(*m_api, m_key, index, longestName, value, result);
        if (step == class_enumeration::Step::End) {
            return;
        }
        ++count;
        names.push_back(std::move(value.name));
        data.push_back(class_enumeration::TextOf(value.data));
        if (step == class_enumeration::Step::UnreadData) {
            return;
        }
    }
}

bool CRegistry::EnumerateSections(std::vector<std::string>& names, std::int32_t& count) {
    count = 0;
    names.clear();
    try {
        if (!m_open) {
            Raise(OperationFailed, "CRegistry:EnumerateValues", std::string(NoKeyOpen));
        }
        std::string name;
        for (std::uint32_t index = 0; class_enumeration::SubKeyAt(*m_api, m_key, index, name) == reg::Success;
             ++index) {
            ++count;
            names.push_back(name);
        }
        return true;
    } catch (const Error& error) {
        Raise(SectionsFailed, std::string(ApplicationName) + ".cRegistry", error.Description());
    }
}

std::string CRegistry::SaveRegistry() {
    RegistryApi::Batch batch(*m_api, RegistryApi::BatchUse::Read);
    std::string text(Signature);
    text += LineEnd;
    AppendRegEntryItem(text);
    return text;
}

std::string CRegistry::SaveRegEntryItem() {
    RegistryApi::Batch batch(*m_api, RegistryApi::BatchUse::Read);
    std::string text;
    AppendRegEntryItem(text);
    return text;
}

// Appends to one growing text, so a tree is written in time linear in its size.
void CRegistry::AppendRegEntryItem(std::string& text) {
    m_uncarried.clear();
    if (!m_open) {
        Raise(OperationFailed, "CRegistry:EnumerateValues", std::string(NoKeyOpen));
    }
    // Opens sub-keys with the access OpenKey would ask for, as the child reader did.
    const std::uint32_t access = m_hive == reg::LocalMachine ? reg::KeyRead : reg::KeyAllAccess | reg::GenericAll;
    TextImageWriter(*m_api, access, AppendStringImageLine, WalkReads::AsTheClassEnumerates, m_uncarried)
        .Append(text, m_key, RootName(m_hive), m_keyPath);
}

void CRegistry::LoadRegistry(const std::string& registryImage) {
    RegistryApi::Batch batch(*m_api);
    RaiseIfBusy(batch.Begun(), "CRegistry:LoadRegistry");
    const std::string lastValue = LoadLines(registryImage);
    const long result = batch.End();
    RaiseIfBusy(result, "CRegistry:LoadRegistry");
    if (result != reg::Success) {
        Raise(OperationFailed, "CRegistry:WriteValue", "Failed to write new value to " + lastValue + " from Registry.");
    }
}

// Answers the name of the last value written. Lines are read where they stand in the image, and the
// path, text and name buffers are reused from line to line.
std::string CRegistry::LoadLines(const std::string& registryImage) {
    constexpr std::string_view Source = "CRegistry::LoadRegistry";
    const std::string_view image(registryImage);
    const std::size_t signatureEnd = image.find(LineEnd);
    if (signatureEnd == std::string_view::npos ||
        image.find(LineEnd, signatureEnd + LineEnd.size()) == std::string_view::npos) {
        Raise(ImageTooShort, Source, "Format Error: too short");
    }
    if (image.substr(0, signatureEnd) != Signature) {
        Raise(SignatureMissing, Source, "Format Error: signature missing");
    }
    const auto lineError = [&](std::int32_t number, std::string_view what, std::size_t i, std::string_view line) {
        Raise(number, Source, std::string(what) + " " + " Line " + std::to_string(i) + "=>'" + std::string(line) + "'");
    };
    CRegistry working(m_api);
    std::string path;
    std::string text;
    std::string lastValue;
    image::ForEachLine(image, [&](std::size_t i, std::string_view line) {
        // The signature and the line after it are not read.
        if (i < 2 || line.empty()) {
            return;
        }
        if ((line.front() == '[' || line.front() == '"') && line.size() > image::MaxLineLength) {
            Raise(LineTooLong, Source,
                  "Format Error: line too long.  Line " + std::to_string(i) + "=>'" +
                      std::string(line.substr(0, image::EchoedLength)) + "...'");
        }
        if (line.front() == '[') {
            const std::string_view inner = line.size() < 2 ? std::string_view() : line.substr(1, line.size() - 2);
            const std::size_t slash = inner.find('\\');
            if (slash == std::string_view::npos || slash + 1 < 3) {
                lineError(BadSection, "Format Error: registry section formatting.", i, line);
            }
            path.assign(inner.substr(slash + 1));
            if (image::IsTooDeep(path)) {
                lineError(TooDeep, "Format Error: key too deep.", i, line);
            }
            working.OpenKey(RootHive(inner.substr(0, slash), m_hive), path, true);
        } else if (line.front() == '"') {
            const std::size_t equals = line.find('=');
            if (equals == std::string_view::npos || equals + 1 < 4) {
                lineError(NoEqualSign, "Format Error: no equal signs.", i, line);
            }
            const std::size_t textStart = equals + 2;
            const std::size_t textEnd = line.size() - 1;
            text.clear();
            image::AppendUnquoted(text, textStart < textEnd ? line.substr(textStart, textEnd - textStart) : "");
            lastValue.assign(line.substr(1, equals - 2));
            working.WriteValue(lastValue, text);
        }
    });
    return lastValue;
}

}  // namespace vor
