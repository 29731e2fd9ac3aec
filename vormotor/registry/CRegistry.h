#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/registry/DateTime.h"
#include "vormotor/registry/UncarriedItem.h"

namespace vor {

// One open registry key at a time, with value and key operations, cached key information and a text
// image of a key tree in the registry editor's export layout (string values only). Failures raise
// vor::Error with the number, source and description callers rely on.
class CRegistry {
public:
    CRegistry();
    explicit CRegistry(std::shared_ptr<RegistryApi> api);
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // keyStr is normalised in place: one leading backslash dropped, forward slashes made backslashes.
    // A key that cannot be opened (missing without blnCreateNew, refused) leaves no key open and
    // raises nothing: reads then answer their default, writes raise "No key is currently open.".
    // A machine-wide key (reg::LocalMachine) that exists is opened for reading only.
    void OpenKey(std::int32_t Section, std::string& keyStr, bool blnCreateNew = false);
    // The same for a key the caller keeps as it is (a literal, a view); CurrentKey() is the path opened.
    void OpenKey(std::int32_t Section, std::string_view keyStr, bool blnCreateNew = false);
    void DeleteKey();
    void CloseKey();
    std::string ReadValue(const std::string& strValueName = "", const std::string& strDefault = "");
    std::int32_t ReadDWORD(const std::string& strValueName = "", std::int32_t lngDefault = 0);
    void WriteValue(const std::string& strValueName, const std::string& strNewValue);
    void WriteDWORD(const std::string& strValueName, std::int32_t strDWORD);
    void DeleteValue(const std::string& strValueName);

    const std::string& CurrentKey() const { return m_keyPath; }
    std::string KeyClass();
    DateTime LastWriteTime();
    std::int32_t NumOfSubKeys();
    std::int32_t MaxSubkeyNameLength();
    std::int32_t MaxClassNameLength();
    std::int32_t NumOfValues();
    std::int32_t MaxValueNameLength();
    std::int32_t MaxValueLength();
    std::int32_t SecurityDescriptor();

    // Element k-1 of the vectors is entry k of the enumeration; count is their length.
    bool EnumerateValues(std::vector<std::string>& names, std::vector<std::string>& data, std::int32_t& count);
    bool EnumerateSections(std::vector<std::string>& names, std::int32_t& count);

    std::string SaveRegistry();
    std::string SaveRegEntryItem();
    void LoadRegistry(const std::string& registryImage);
    // What LoadRegistry would not bring back as it was from the last SaveRegistry or SaveRegEntryItem,
    // by key and value name: lines written in a form that loads back otherwise (another type as its
    // text, a line break in a name or text, a '=' in a name, a default value), a value the 9,999-byte
    // buffer cut, and what an enumeration that ended early did not reach. Nothing is left out of the
    // image for it. Empty when the image loads back whole.
    const std::vector<UncarriedItem>& Uncarried() const { return m_uncarried; }

    std::int32_t Hive() const { return m_hive; }
    bool IsOpen() const { return m_open; }

private:
    struct KeyInfo {
        std::string keyClass;
        std::uint32_t subKeys = 0;
        std::uint32_t maxSubKeyLength = 0;
        std::uint32_t maxClassLength = 0;
        std::uint32_t values = 0;
        std::uint32_t maxValueNameLength = 0;
        std::uint32_t maxValueLength = 0;
        std::uint32_t securityDescriptorSize = 0;
        FileTime lastWriteTime = 0;
    };

    void RefreshKeyInfo();
    std::int32_t Refreshed(std::uint32_t KeyInfo::*field);
    void AppendRegEntryItem(std::string& text);
    std::string LoadLines(const std::string& registryImage);
    void EnumerateValuesInto(std::vector<std::string>& names, std::vector<std::string>& data, std::int32_t& count);

    // The registry behind this object.
    std::shared_ptr<RegistryApi> m_api;

    // The open key.
    bool m_open = false;
    RegHandle m_key = 0;
    std::int32_t m_hive = 0;
    std::string m_keyPath;

    // Filled by RefreshKeyInfo, kept across closes.
    KeyInfo m_info;

    std::vector<UncarriedItem> m_uncarried;
};

}  // namespace vor
