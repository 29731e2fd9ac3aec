#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "vormotor/regapi/RegistryApi.h"

namespace vor::store {

class StoreConnection;

// A persistent registry in one SQLite file, behaving like the platform registry wherever CRegistry
// can tell: names are case-insensitive (ASCII letters) and keep their case, sub-keys enumerate sorted
// by their upper-cased names, values in creation order, and names and data are kept as the bytes the
// caller gave (no code page conversion). Every call is one transaction, durable when it returns;
// several processes may share one file. Readers never wait for a writer; a writer waits for another
// process's write at most busyTime and then answers StoreBusy. Handles are local to the RegStore object.
class RegStore : public RegistryApi {
public:
    static constexpr std::chrono::milliseconds DefaultBusyTime{10'000};

    // ReadWrite creates the store (and its folders) when it is missing and upgrades an older store. ReadOnly
    // changes nothing on the disk: the file must exist; an empty file or an older store is read from a copy
    // in memory. Either way a store the user may read but not write (a read-only file, folder or mount) is
    // opened for reading, and its calls that write answer WriteProtected.
    enum class Access { ReadWrite, ReadOnly };

    // path ":memory:" gives a private in-memory store.
    explicit RegStore(const std::string& path = DefaultPath(), std::chrono::milliseconds busyTime = DefaultBusyTime,
                      Access access = Access::ReadWrite);
    ~RegStore() override;
    RegStore(const RegStore&) = delete;
    RegStore& operator=(const RegStore&) = delete;

    static constexpr const char* InMemory = ":memory:";
    static constexpr const char* PathVariable = "VORMOTOR_REGISTRY";
    // $VORMOTOR_REGISTRY, else $XDG_CONFIG_HOME/vormotor/registry.db, else ~/.config/vormotor/registry.db.
    static std::string DefaultPath();

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
    VisitedValues VisitValues(RegHandle key, std::uint32_t dataCapacity, const ValueVisitor& visit) override;

    long BeginBatch(BatchUse use) override;
    long EndBatch() override;
    long CancelBatch() override;

private:
    std::unique_ptr<StoreConnection> m_connection;
};

}  // namespace vor::store

// The names above as hosts know them, in vor.
namespace vor {
using store::RegStore;
}  // namespace vor
