#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/regstore/BatchWriter.h"
#include "vormotor/regstore/CreatedKeys.h"
#include "vormotor/regstore/ListingCache.h"
#include "vormotor/regstore/RegStore.h"
#include "vormotor/regstore/ValueList.h"

struct sqlite3;

namespace vor::store {
struct StoreStatements;
}

namespace vor::store {

// One RegStore's connection to its file, with everything the store keeps between calls: its handles,
// its batch and what the batch has not written yet, and its listings. RegStore answers the registry
// calls through it.
class StoreConnection {
public:
    using BatchUse = RegistryApi::BatchUse;

    StoreConnection(const std::string& path, std::chrono::milliseconds busyTime, RegStore::Access access);
    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    long OpenKeyEx(RegHandle key, const char* subKey, std::uint32_t options, std::uint32_t access, RegHandle* result);
    long CreateKeyEx(RegHandle key, const char* subKey, const char* keyClass, std::uint32_t options,
                     std::uint32_t access, RegHandle* result, std::uint32_t* disposition);
    long CloseKey(RegHandle key);
    long DeleteKey(RegHandle key, const char* subKey);
    long QueryValueEx(RegHandle key, const char* valueName, std::uint32_t* type, unsigned char* data,
                      std::uint32_t* size);
    long SetValueEx(RegHandle key, const char* valueName, std::uint32_t type, const unsigned char* data,
                    std::uint32_t size);
    long DeleteValue(RegHandle key, const char* valueName);
    long QueryInfoKey(RegHandle key, char* keyClass, std::uint32_t* classLength, std::uint32_t* subKeys,
                      std::uint32_t* maxSubKeyLength, std::uint32_t* maxClassLength, std::uint32_t* values,
                      std::uint32_t* maxValueNameLength, std::uint32_t* maxValueLength,
                      std::uint32_t* securityDescriptorSize, FileTime* lastWriteTime);
    long EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength, std::uint32_t* type,
                   unsigned char* data, std::uint32_t* size);
    long EnumKey(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameBufferLength);
    RegistryApi::VisitedValues VisitValues(RegHandle key, std::uint32_t dataCapacity,
                                           const RegistryApi::ValueVisitor& visit);

    long BeginBatch(BatchUse use);
    long EndBatch();
    long CancelBatch();

private:
    struct OpenHandle {
        std::int64_t id;
        std::uint32_t access;
    };
    struct WalkedParent {
        std::uint64_t transaction = 0;
        std::int64_t from = 0;
        std::string path;
        std::int64_t id = 0;
    };
    // A sub-key a batch looked for and did not find: creating it next needs no second look.
    struct MissingKey {
        std::uint64_t transaction = 0;
        std::int64_t changes = -1;
        std::int64_t parent = 0;
        std::string fold;
    };
    // Where the key a batch is about to fill goes, for the record of created keys once it is written.
    struct LaterKey {
        std::int64_t parent = 0;
        std::string fold;
    };
    struct BatchState {
        int depth = 0;
        BatchUse use = BatchUse::Read;
        // Once a call of the batch failed, the batch is lost and this answers every later call.
        long failure = reg::Success;
    };

    // What a call does with a key: Change covers creating and deleting keys, which need no rights on
    // the handle's key; SetValues needs the right to set values.
    enum class Use { Read, Change, SetValues };

    void OpenImmutable(const std::string& path);
    void CopyIntoMemory();
    template <typename Body>
    long Call(bool write, Body&& body);
    template <typename Body>
    long CallAlone(bool write, Body&& body);
    long Begin(bool write);
    void Rollback();
    void LoseBatch(long failure);
    template <typename Body>
    long OnKey(RegHandle key, Use use, Body&& body);
    template <typename Body>
    long OnSubKey(RegHandle key, const char* subKey, Use use, bool create, const char* keyClass, Body&& body);
    long Resolve(RegHandle key, OpenHandle& open);
    long Walk(std::int64_t from, const char* subKey, bool create, const char* keyClass, std::int64_t& id,
              bool& created);
    RegHandle NewHandle(std::int64_t id, std::uint32_t access);
    void NewKeyWritten(std::int64_t id, const std::vector<RegHandle>& handles);
    void SeenKey(std::int64_t id);
    void CheckListings();
    const std::vector<ListingCache::SubKey>& SubKeys(std::int64_t id);
    std::optional<std::int64_t> ListedSubKey(std::int64_t parent, std::string_view fold);
    const ValueList& Values(std::int64_t id);

    // The database.
    sqlite3* m_db = nullptr;
    std::chrono::milliseconds m_busyTime;
    std::unique_ptr<StoreStatements> m_sql;
    std::unique_ptr<BatchWriter> m_writer;
    BatchState m_batch;
    // Counts transactions begun, so facts learnt in one are known to hold until it ends.
    std::uint64_t m_transaction = 0;
    // The keys the current transaction has already found to exist.
    std::unordered_set<std::int64_t> m_keysSeen;
    std::uint64_t m_keysSeenIn = 0;
    // The parent of the key a batch walked to last.
    WalkedParent m_lastParent;
    MissingKey m_lastMissing;
    CreatedKeys m_created;
    LaterKey m_laterKey;
    // Handles given out by this object.
    std::unordered_map<RegHandle, OpenHandle> m_handles;
    RegHandle m_nextHandle = 1;

    ListingCache m_listings;
};

}  // namespace vor::store
