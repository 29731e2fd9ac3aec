#pragma once

#include "vormotor/regapi/RegistryApi.h"

namespace vor {

// The platform registry through advapi32's ANSI functions, which convert names and string data
// to and from the system's ANSI code page at each call.
class WinRegistryApi : public RegistryApi {
public:
    long OpenKeyEx(RegHandle key, const char* subKey, std::uint32_t options, std::uint32_t access,
                   RegHandle* result) override;
    long CreateKeyEx(RegHandle key, const char* subKey, const char* keyClass, std::uint32_t options,
                     std::uint32_t access, RegHandle* result, std::uint32_t* disposition) override;
    long CloseKey(RegHandle key) override;
    long DeleteKey(RegHandle key, const char* subKey) override;
    long QueryValueEx(RegHandle key, const char* valueName, std::uint32_t* type, unsigned char* data,
                      std::uint32_t* size) override;
    long SetValueEx(RegHandle key, const char* valueName, std::uint32_t type, const unsigned char* data,
                    std::uint32_t size) override;
    long DeleteValue(RegHandle key, const char* valueName) override;
    long QueryInfoKey(RegHandle key, char* keyClass, std::uint32_t* classLength, std::uint32_t* subKeys,
                      std::uint32_t* maxSubKeyLength, std::uint32_t* maxClassLength, std::uint32_t* values,
                      std::uint32_t* maxValueNameLength, std::uint32_t* maxValueLength,
                      std::uint32_t* securityDescriptorSize, FileTime* lastWriteTime) override;
    long EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength, std::uint32_t* type,
                   unsigned char* data, std::uint32_t* size) override;
    long EnumKey(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameBufferLength) override;
};

}  // namespace vor
