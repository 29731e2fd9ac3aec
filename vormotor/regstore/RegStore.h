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

#include "vormotor/regstore/ValueList.h"
#include "vormotor/registry/RegistryApi.h"

struct sqlite3;

namespace vor {

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

    long BeginBatch(BatchUse use) override;
    long EndBatch() override;
    long CancelBatch() override;

private:
    struct Statements;
    // A sub-key as its parent's listing has it: a save opens every sub-key it lists.
    struct SubKey {
        std::string name;
        std::int64_t id;
    };
    struct OpenHandle {
        std::int64_t id;
        std::uint32_t access;
    };
    // The state of the database the cached enumerations were read in: inside a batch its own
    // transaction, elsewhere the last commit of other connections; and this connection's own changes.
    struct DatabaseState {
        std::uint64_t transaction = 0;
        std::int64_t othersVersion = -1;
        std::int64_t ownChanges = -1;
        bool operator==(const DatabaseState&) const = default;
    };
    // Inside a batch the values of the key being written, not yet in its row.
    struct UnwrittenValues {
        std::int64_t key = 0;
        bool changed = false;
        ValueList values;
    };
    // A key a batch created and has not written yet: it is written with its values, as one row, when
    // the batch does anything with the store but set or delete the key's values. Until then its
    // handles and its unwritten values carry NewKeyId.
    struct NewKey {
        std::int64_t parent = 0;
        std::string name;
        std::string fold;
        std::string keyClass;
        std::vector<RegHandle> handles;
    };
    static constexpr std::int64_t NewKeyId = -1;
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
    void Touch(std::int64_t id);
    ValueList ReadValues(std::int64_t id);
    void WriteValues(std::int64_t id, const ValueList& values);
    // A value as SetValueEx gives it.
    struct NewValue {
        std::uint32_t type;
        std::string_view data;
    };
    static long ChangeList(ValueList& values, std::string_view name, const std::optional<NewValue>& value);
    long ChangeValue(std::int64_t id, std::string_view name, const std::optional<NewValue>& value);
    long ChangeSpreadValue(std::int64_t id, std::string_view name, const std::optional<NewValue>& value);
    void WriteUnwrittenValues();
    void WriteNewKey();
    void HandNewKeyTo(std::int64_t id);
    void SeenKey(std::int64_t id);
    void StampTouchedKeys();
    void CheckListings();
    void ForgetListings();
    const std::vector<SubKey>& SubKeys(std::int64_t id);
    std::optional<std::int64_t> ListedSubKey(std::int64_t parent, std::string_view fold);
    const ValueList& Values(std::int64_t id);

    // The database.
    sqlite3* m_db = nullptr;
    std::chrono::milliseconds m_busyTime;
    std::unique_ptr<Statements> m_sql;
    BatchState m_batch;
    // Counts transactions begun, so facts learnt in one are known to hold until it ends.
    std::uint64_t m_transaction = 0;
    // The keys the current transaction has already found to exist.
    std::unordered_set<std::int64_t> m_keysSeen;
    std::uint64_t m_keysSeenIn = 0;
    // The parent of the key a batch walked to last.
    WalkedParent m_lastParent;
    MissingKey m_lastMissing;
    // Values a batch has set and not yet written: those of one key at a time, so a load that writes
    // key after key writes each key's row once.
    UnwrittenValues m_unwritten;
    std::optional<NewKey> m_newKey;
    // Keys a batch wrote to: they get their time stamp once, when the batch ends.
    std::vector<std::int64_t> m_touched;

    // Handles given out by this object.
    std::unordered_map<RegHandle, OpenHandle> m_handles;
    RegHandle m_nextHandle = 1;

    // Enumerating by index would rescan a key for every index; each key being enumerated keeps its
    // sorted sub-key names and its values, read once, until the database changes or the enumeration
    // reaches its end.
    DatabaseState m_listedIn;
    std::unordered_map<std::int64_t, std::vector<SubKey>> m_subKeyLists;
    // The listing enumerated to its end last.
    std::pair<std::int64_t, std::vector<SubKey>> m_listedToTheEnd;
    // Keys a listing showed to have no sub-keys.
    std::unordered_set<std::int64_t> m_withoutSubKeys;
    std::unordered_map<std::int64_t, ValueList> m_valueLists;
};

}  // namespace vor
