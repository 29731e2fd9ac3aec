#include "vormotor/regstore/BatchWriter.h"

#include <algorithm>
#include <chrono>
#include <sqlite3.h>
#include <utility>

#include "vormotor/regstore/NameFold.h"
#include "vormotor/regstore/StoreStatements.h"

namespace vor::store {

namespace {

// A key's values stay together in its row, which loads and saves read and write at once, while they take at most
// this many bytes; beyond it each value has a row of its own, so writing one does not rewrite all the others. A
// write on a key below the bound rewrites at most this much, a few pages, which costs little beside the commit.
constexpr std::size_t SpreadAbove = 64 * 1024;

// A row of values this store did not write (another program, a failing disk) must not be read past its end.
ValueList DecodedValues(std::string_view blob) {
    std::optional<ValueList> values = ValueList::Decode(blob);
    if (!values) {
        throw SqlStatement::SqlFailure{SQLITE_CORRUPT};
    }
    return std::move(*values);
}

FileTime Now() {
    constexpr FileTime TicksFrom1601To1970 = 116'444'736'000'000'000;
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return TicksFrom1601To1970 +
           static_cast<FileTime>(std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100);
}

}  // namespace

BatchWriter::BatchWriter(sqlite3* db, StoreStatements& sql, NewKeyWritten newKeyWritten)
    : m_db(db), m_sql(sql), m_newKeyWritten(std::move(newKeyWritten)) {}

std::int64_t BatchWriter::InsertKey(std::int64_t parent, std::string_view name, std::string_view fold,
                                    std::string_view keyClass, std::string_view values) {
    m_sql.insertKey.Bind(parent, name, fold, keyClass, static_cast<std::int64_t>(Now()), values).Run();
    return sqlite3_last_insert_rowid(m_db);
}

void BatchWriter::CreateLater(std::int64_t parent, std::string_view name, std::string_view fold,
                              std::string_view keyClass) {
    WriteUnwritten();
    // Appended into the room of the key before: cheaper than assign's general replacement.
    const auto take = [](std::string& kept, std::string_view text) {
        kept.clear();
        kept.append(text);
    };
    m_newKey.parent = parent;
    take(m_newKey.name, name);
    take(m_newKey.fold, fold);
    take(m_newKey.keyClass, keyClass);
    m_newKey.handles.clear();
    m_hasNewKey = true;
    HoldBackValuesOf(NewKeyId);
}

void BatchWriter::AddNewKeyHandle(RegHandle handle) {
    m_newKey.handles.push_back(handle);
}

void BatchWriter::Drop() {
    m_touched.clear();
    HoldBackValuesOf(0);
    // Handles of a key that was never written answer as those of a deleted key.
    if (m_hasNewKey) {
        HandNewKeyTo(0);
    }
}

// Starts the list of values held back anew, for key (0: for none), new keys with a change to write. The list keeps
// its room for the next key, as a load fills one key after another, unless a large key made it large.
void BatchWriter::HoldBackValuesOf(std::int64_t key) {
    m_unwritten.key = key;
    m_unwritten.changed = key == NewKeyId;
    if (m_unwritten.values.Blob().size() > SpreadAbove) {
        m_unwritten.values = {};
    } else {
        m_unwritten.values.Clear();
    }
}

void BatchWriter::Touch(std::int64_t id, bool inBatch) {
    if (!inBatch) {
        m_sql.touchKey.Bind(id, static_cast<std::int64_t>(Now())).Run();
    } else if (m_touched.empty() || m_touched.back() != id) {
        m_touched.push_back(id);
    }
}

ValueList BatchWriter::ReadValues(std::int64_t id) {
    SqlStatement& row = m_sql.readValues.Bind(id);
    if (!row.Step()) {
        return {};
    }
    if (row.Int(1) != 0) {
        ValueList values;
        for (SqlStatement& value = m_sql.readSpread.Bind(id); value.Step();) {
            if (!values.Set(value.Bytes(0), static_cast<std::uint32_t>(value.Int(1)), value.Bytes(2))) {
                throw SqlStatement::SqlFailure{SQLITE_TOOBIG};
            }
        }
        return values;
    }
    return DecodedValues(row.Bytes(0));
}

// Writes a key's values with its new time stamp: in its row, or a row each once they outgrow SpreadAbove.
void BatchWriter::WriteValues(std::int64_t id, const ValueList& values) {
    if (values.Blob().size() <= SpreadAbove) {
        m_sql.writeValues.Bind(id, values.Blob(), static_cast<std::int64_t>(Now())).Run();
        return;
    }
    for (std::size_t i = 0; i < values.Size(); ++i) {
        const ValueList::Value value = values[i];
        m_sql.insertSpread
            .Bind(id, static_cast<std::int64_t>(i), value.name, std::string_view(Fold(value.name)),
                  static_cast<std::int64_t>(value.type), value.data)
            .Run();
    }
    m_sql.markSpread.Bind(id, static_cast<std::int64_t>(Now())).Run();
}

// Sets (value given) or deletes (none given) one value of a list.
long BatchWriter::ChangeList(ValueList& values, std::string_view name, const std::optional<NewValue>& value) {
    if (!value) {
        return values.Erase(name) ? reg::Success : reg::FileNotFound;
    }
    if (!values.Set(name, value->type, value->data)) {
        throw SqlStatement::SqlFailure{SQLITE_TOOBIG};
    }
    return reg::Success;
}

// Sets (value given) or deletes (none given) one value of a key and gives the key its new time stamp. Values kept
// in the key's row are changed in memory and written back; inside a batch they are written when the batch turns
// to another key, reads values, or ends. Spread values are changed in their own rows at once.
long BatchWriter::ChangeValue(std::int64_t id, std::string_view name, const std::optional<NewValue>& value,
                              bool inBatch) {
    if (inBatch && m_unwritten.key == id) {
        const long result = ChangeList(m_unwritten.values, name, value);
        m_unwritten.changed = m_unwritten.changed || result == reg::Success;
        return result;
    }
    if (inBatch) {
        WriteUnwritten();
    }
    SqlStatement& row = m_sql.readValues.Bind(id);
    const bool found = row.Step();
    if (found && row.Int(1) != 0) {
        return ChangeSpreadValue(id, name, value, inBatch);
    }
    ValueList values = found ? DecodedValues(row.Bytes(0)) : ValueList();
    const long result = ChangeList(values, name, value);
    if (inBatch) {
        m_unwritten = {id, result == reg::Success, std::move(values)};
    } else if (result == reg::Success) {
        WriteValues(id, values);
    }
    return result;
}

long BatchWriter::ChangeSpreadValue(std::int64_t id, std::string_view name, const std::optional<NewValue>& value,
                                    bool inBatch) {
    const std::string fold = Fold(name);
    if (!value) {
        m_sql.deleteSpread.Bind(id, std::string_view(fold)).Run();
        if (sqlite3_changes(m_db) == 0) {
            return reg::FileNotFound;
        }
    } else {
        const auto type = static_cast<std::int64_t>(value->type);
        m_sql.updateSpread.Bind(id, std::string_view(fold), type, value->data).Run();
        if (sqlite3_changes(m_db) == 0) {
            SqlStatement& next = m_sql.nextSpread.Bind(id);
            next.Step();
            const std::int64_t position = next.Int(0);
            m_sql.insertSpread.Bind(id, position, name, std::string_view(fold), type, value->data).Run();
        }
    }
    Touch(id, inBatch);
    return reg::Success;
}

void BatchWriter::WriteUnwritten() {
    if (m_unwritten.key == 0) {
        return;
    }
    if (m_unwritten.key == NewKeyId) {
        WriteNewKey();
    } else if (m_unwritten.changed) {
        WriteValues(m_unwritten.key, m_unwritten.values);
    }
    HoldBackValuesOf(0);
}

void BatchWriter::WriteNewKey() {
    const NewKey& key = m_newKey;
    const ValueList& values = m_unwritten.values;
    const bool spread = values.Blob().size() > SpreadAbove;
    const std::int64_t id =
        InsertKey(key.parent, key.name, key.fold, key.keyClass, spread ? std::string_view() : values.Blob());
    if (spread) {
        WriteValues(id, values);
    }
    HandNewKeyTo(id);
}

// Tells the connection where the new key's handles now point, and forgets the new key.
void BatchWriter::HandNewKeyTo(std::int64_t id) {
    m_newKeyWritten(id, m_newKey.handles);
    m_hasNewKey = false;
}

void BatchWriter::StampTouched() {
    std::sort(m_touched.begin(), m_touched.end());
    m_touched.erase(std::unique(m_touched.begin(), m_touched.end()), m_touched.end());
    const auto now = static_cast<std::int64_t>(Now());
    for (const std::int64_t id : m_touched) {
        m_sql.touchKey.Bind(id, now).Run();
    }
    m_touched.clear();
}

}  // namespace vor::store
