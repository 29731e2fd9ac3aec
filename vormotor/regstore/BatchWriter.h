#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/regstore/ValueList.h"

struct sqlite3;

namespace vor::store {

struct StoreStatements;

// Writes keys and values to the store's rows. Alone, each change is written at once; inside a batch the
// writes wait: the values of one key at a time, so a load that writes key after key writes each key's row
// once, a key the batch created until its values are written with it, and the time stamps of the keys the
// batch wrote to until it ends.
class BatchWriter {
public:
    // What a key a batch created and has not written yet carries for an id, in its handles too.
    static constexpr std::int64_t NewKeyId = -1;
    // A value as SetValueEx gives it.
    struct NewValue {
        std::uint32_t type;
        std::string_view data;
    };
    // Told, once a key the batch created is written, its row's id and the handles opened on it; told 0
    // when the batch is given up before the key was written.
    using NewKeyWritten = std::function<void(std::int64_t id, const std::vector<RegHandle>& handles)>;

    BatchWriter(sqlite3* db, StoreStatements& sql, NewKeyWritten newKeyWritten);

    // A key's row, written at once; answers its id.
    std::int64_t InsertKey(std::int64_t parent, std::string_view name, std::string_view fold, std::string_view keyClass,
                           std::string_view values = {});
    // The key a batch is about to fill below parent: written when its values are, carrying NewKeyId until then.
    void CreateLater(std::int64_t parent, std::string_view name, std::string_view fold, std::string_view keyClass);
    bool HasNewKey() const { return m_hasNewKey; }
    void AddNewKeyHandle(RegHandle handle);

    ValueList ReadValues(std::int64_t id);
    // Sets (value given) or deletes (none given) one value of a key and gives the key its new time stamp.
    long ChangeValue(std::int64_t id, std::string_view name, const std::optional<NewValue>& value, bool inBatch);
    // Gives a key its new time stamp: at once alone, when the batch ends inside one.
    void Touch(std::int64_t id, bool inBatch);

    // Writes what the batch holds back, for a call that reads the store or for the batch's end.
    void WriteUnwritten();
    void StampTouched();
    // The batch was given up: nothing it held back is written.
    void Drop();

private:
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

    void HoldBackValuesOf(std::int64_t key);
    void WriteValues(std::int64_t id, const ValueList& values);
    static long ChangeList(ValueList& values, std::string_view name, const std::optional<NewValue>& value);
    long ChangeSpreadValue(std::int64_t id, std::string_view name, const std::optional<NewValue>& value, bool inBatch);
    void WriteNewKey();
    void HandNewKeyTo(std::int64_t id);

    sqlite3* m_db;
    StoreStatements& m_sql;
    NewKeyWritten m_newKeyWritten;
    UnwrittenValues m_unwritten;
    // Kept from key to key with the room of its names and handle list; m_hasNewKey tells whether it holds a key.
    NewKey m_newKey;
    bool m_hasNewKey = false;
    // Keys a batch wrote to: they get their time stamp once, when the batch ends.
    std::vector<std::int64_t> m_touched;
};

}  // namespace vor::store
