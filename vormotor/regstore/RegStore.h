#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vormotor/registry/RegistryApi.h"

struct sqlite3;

namespace vor {

// A persistent registry in one SQLite file, behaving like the platform registry wherever CRegistry
// can tell: names are case-insensitive (ASCII letters) and keep their case, sub-keys enumerate sorted
// by their upper-cased names, values in creation order, and names and data are kept as the bytes the
// caller gave (no code page conversion). Every call is one transaction, durable when it returns;
// several processes may share one file. Handles are local to the RegStore object.
class RegStore : public RegistryApi {
public:
    // path ":memory:" gives a private in-memory store.
    explicit RegStore(const std::string& path = DefaultPath());
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

    void BeginBatch() override;
    long EndBatch() override;

private:
    struct Statements;
    struct OpenHandle {
        std::int64_t id;
        std::uint32_t access;
    };
    // Sorted sub-key names of one key, valid while the database is unchanged.
    struct SubKeySnapshot {
        std::int64_t id = 0;
        std::int64_t stamp = -1;
        std::int64_t version = -1;
        std::vector<std::string> names;
    };

    // What a call does with a key: Change covers creating and deleting keys, which need no rights on
    // the handle's key; SetValues needs the right to set values.
    enum class Use { Read, Change, SetValues };

    template <typename Body>
    long Call(bool write, Body&& body);
    template <typename Body>
    long OnKey(RegHandle key, Use use, Body&& body);
    template <typename Body>
    long OnSubKey(RegHandle key, const char* subKey, Use use, bool create, const char* keyClass, Body&& body);
    long Resolve(RegHandle key, OpenHandle& open);
    long Walk(std::int64_t from, const char* subKey, bool create, const char* keyClass, std::int64_t& id,
              bool& created);
    RegHandle NewHandle(std::int64_t id, std::uint32_t access);
    void Touch(std::int64_t id);
    const std::vector<std::string>& SubKeyNames(std::int64_t id);

    // The database.
    sqlite3* m_db = nullptr;
    std::unique_ptr<Statements> m_sql;
    int m_batchDepth = 0;
    // False when the batch's transaction could not be begun; its calls then stand alone.
    bool m_inBatch = false;

    // Handles given out by this object.
    std::unordered_map<RegHandle, OpenHandle> m_handles;
    RegHandle m_nextHandle = 1;

    SubKeySnapshot m_snapshot;
};

}  // namespace vor
