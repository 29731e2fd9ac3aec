#include "vormotor/registry/WinRegistryApi.h"

#include <windows.h>

#include "vormotor/regapi/DefaultRegistryApi.h"

namespace vor {

namespace {

HKEY Key(RegHandle key) {
    return reinterpret_cast<HKEY>(key);
}

// DWORD and std::uint32_t are distinct types on this platform, though of one size.
LPDWORD Dword(std::uint32_t* value) {
    return reinterpret_cast<LPDWORD>(value);
}

}  // namespace

long WinRegistryApi::OpenKeyEx(RegHandle key, const char* subKey, std::uint32_t options, std::uint32_t access,
                               RegHandle* result) {
    HKEY opened = nullptr;
    const LONG code = RegOpenKeyExA(Key(key), subKey, options, access, &opened);
    *result = reinterpret_cast<RegHandle>(opened);
    return code;
}

long WinRegistryApi::CreateKeyEx(RegHandle key, const char* subKey, const char* keyClass, std::uint32_t options,
                                 std::uint32_t access, RegHandle* result, std::uint32_t* disposition) {
    HKEY created = nullptr;
    const LONG code = RegCreateKeyExA(Key(key), subKey, 0, const_cast<LPSTR>(keyClass), options, access, nullptr,
                                      &created, Dword(disposition));
    *result = reinterpret_cast<RegHandle>(created);
    return code;
}

long WinRegistryApi::CloseKey(RegHandle key) {
    return RegCloseKey(Key(key));
}

long WinRegistryApi::DeleteKey(RegHandle key, const char* subKey) {
    return RegDeleteKeyA(Key(key), subKey);
}

long WinRegistryApi::QueryValueEx(RegHandle key, const char* valueName, std::uint32_t* type, unsigned char* data,
                                  std::uint32_t* size) {
    return RegQueryValueExA(Key(key), valueName, nullptr, Dword(type), data, Dword(size));
}

long WinRegistryApi::SetValueEx(RegHandle key, const char* valueName, std::uint32_t type, const unsigned char* data,
                                std::uint32_t size) {
    return RegSetValueExA(Key(key), valueName, 0, type, data, size);
}

long WinRegistryApi::DeleteValue(RegHandle key, const char* valueName) {
    return RegDeleteValueA(Key(key), valueName);
}

long WinRegistryApi::QueryInfoKey(RegHandle key, char* keyClass, std::uint32_t* classLength, std::uint32_t* subKeys,
                                  std::uint32_t* maxSubKeyLength, std::uint32_t* maxClassLength, std::uint32_t* values,
                                  std::uint32_t* maxValueNameLength, std::uint32_t* maxValueLength,
                                  std::uint32_t* securityDescriptorSize, FileTime* lastWriteTime) {
    FILETIME written{};
    const LONG code = RegQueryInfoKeyA(
        Key(key), keyClass, Dword(classLength), nullptr, Dword(subKeys), Dword(maxSubKeyLength), Dword(maxClassLength),
        Dword(values), Dword(maxValueNameLength), Dword(maxValueLength), Dword(securityDescriptorSize), &written);
    if (code == ERROR_SUCCESS && lastWriteTime != nullptr) {
        *lastWriteTime = static_cast<FileTime>(written.dwHighDateTime) << 32 | written.dwLowDateTime;
    }
    return code;
}

long WinRegistryApi::EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                               std::uint32_t* type, unsigned char* data, std::uint32_t* size) {
    return RegEnumValueA(Key(key), index, name, Dword(nameLength), nullptr, Dword(type), data, Dword(size));
}

long WinRegistryApi::EnumKey(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameBufferLength) {
    return RegEnumKeyA(Key(key), index, name, nameBufferLength);
}

std::shared_ptr<RegistryApi> DefaultRegistryApi() {
    static const std::shared_ptr<RegistryApi> registry = std::make_shared<WinRegistryApi>();
    return registry;
}

}  // namespace vor
