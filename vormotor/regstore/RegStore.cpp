#include "vormotor/regstore/RegStore.h"

#include <cstdlib>

#include "vormotor/regstore/StoreConnection.h"

namespace vor::store {

std::string RegStore::DefaultPath() {
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return value == nullptr ? std::string() : std::string(value);
    };
    if (std::string path = variable(PathVariable); !path.empty()) {
        return path;
    }
    if (std::string config = variable("XDG_CONFIG_HOME"); !config.empty()) {
        return config + "/vormotor/registry.db";
    }
    return variable("HOME") + "/.config/vormotor/registry.db";
}

RegStore::RegStore(const std::string& path, std::chrono::milliseconds busyTime, Access access)
    : m_connection(std::make_unique<StoreConnection>(path, busyTime, access)) {}

RegStore::~RegStore() = default;

long RegStore::OpenKeyEx(RegHandle key, const char* subKey, std::uint32_t options, std::uint32_t access,
                         RegHandle* result) {
    return m_connection->OpenKeyEx(key, subKey, options, access, result);
}

long RegStore::CreateKeyEx(RegHandle key, const char* subKey, const char* keyClass, std::uint32_t options,
                           std::uint32_t access, RegHandle* result, std::uint32_t* disposition) {
    return m_connection->CreateKeyEx(key, subKey, keyClass, options, access, result, disposition);
}

long RegStore::CloseKey(RegHandle key) {
    return m_connection->CloseKey(key);
}

long RegStore::DeleteKey(RegHandle key, const char* subKey) {
    return m_connection->DeleteKey(key, subKey);
}

long RegStore::QueryValueEx(RegHandle key, const char* valueName, std::uint32_t* type, unsigned char* data,
                            std::uint32_t* size) {
    return m_connection->QueryValueEx(key, valueName, type, data, size);
}

long RegStore::SetValueEx(RegHandle key, const char* valueName, std::uint32_t type, const unsigned char* data,
                          std::uint32_t size) {
    return m_connection->SetValueEx(key, valueName, type, data, size);
}

long RegStore::DeleteValue(RegHandle key, const char* valueName) {
    return m_connection->DeleteValue(key, valueName);
}

long RegStore::QueryInfoKey(RegHandle key, char* keyClass, std::uint32_t* classLength, std::uint32_t* subKeys,
                            std::uint32_t* maxSubKeyLength, std::uint32_t* maxClassLength, std::uint32_t* values,
                            std::uint32_t* maxValueNameLength, std::uint32_t* maxValueLength,
                            std::uint32_t* securityDescriptorSize, FileTime* lastWriteTime) {
    return m_connection->QueryInfoKey(key, keyClass, classLength, subKeys, maxSubKeyLength, maxClassLength, values,
                                      maxValueNameLength, maxValueLength, securityDescriptorSize, lastWriteTime);
}

long RegStore::EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength, std::uint32_t* type,
                         unsigned char* data, std::uint32_t* size) {
    return m_connection->EnumValue(key, index, name, nameLength, type, data, size);
}

long RegStore::EnumKey(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameBufferLength) {
    return m_connection->EnumKey(key, index, name, nameBufferLength);
}

RegistryApi::VisitedValues RegStore::VisitValues(RegHandle key, std::uint32_t dataCapacity, const ValueVisitor& visit) {
    return m_connection->VisitValues(key, dataCapacity, visit);
}

long RegStore::BeginBatch(BatchUse use) {
    return m_connection->BeginBatch(use);
}

long RegStore::EndBatch() {
    return m_connection->EndBatch();
}

long RegStore::CancelBatch() {
    return m_connection->CancelBatch();
}

}  // namespace vor::store
