#include "vormotor/regstore/RegStore.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "vormotor/core/Error.h"
#include "vormotor/regstore/NameFold.h"
#include "vormotor/regstore/SqlStatement.h"

namespace vor {

namespace {

constexpr std::int64_t RootCount = 7;
// The platform's limit, in UTF-16 characters: 255 characters of any script, not 255 bytes of UTF-8.
constexpr std::size_t MaxKeyNameLength = 255;
constexpr std::uint32_t CreatedNewKey = 1;
constexpr std::uint32_t OpenedExistingKey = 2;
constexpr std::chrono::milliseconds RetryPause{2};
// Listings kept at once: enough for the keys a save of a deep tree has open, few enough that
// reading key after key without enumerating them to the end stays small.
constexpr std::size_t ListingLimit = 64;
// Keys remembered to exist, or to have no sub-keys: a save of a large tree looks at each key several times.
constexpr std::size_t RememberedKeysLimit = 1 << 16;
// Stores whose schema is complete say so in their header, so opening one needs no write lock.
// Version 1 kept a row per value; version 2 keeps a key's values in the key's row; version 3 keeps the
// values of large keys a row each (see SpreadAbove).
constexpr std::int64_t SchemaVersion = 3;
// A key's values stay together in its row, which loads and saves read and write at once, while they take at most
// this many bytes; beyond it each value has a row of its own, so writing one does not rewrite all the others. A
// write on a key below the bound rewrites at most this much, a few pages, which costs little beside the commit.
constexpr std::size_t SpreadAbove = 64 * 1024;

bool IsBusy(int code) {
    return (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED;
}

// Switching to WAL and creating the schema can meet another process doing the same; SQLite's own
// busy wait does not cover all of these steps.
template <typename Work>
void Patiently(sqlite3* db, std::chrono::milliseconds busyTime, Work&& work) {
    const auto deadline = std::chrono::steady_clock::now() + busyTime;
    for (;;) {
        try {
            work();
            return;
        } catch (const SqlStatement::SqlFailure& failure) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            if (!IsBusy(failure.code) || std::chrono::steady_clock::now() >= deadline) {
                throw;
            }
            std::this_thread::sleep_for(RetryPause);
        }
    }
}

void ExecPatiently(sqlite3* db, const char* sql, std::chrono::milliseconds busyTime) {
    Patiently(db, busyTime, [&] { ExecSql(db, sql); });
}

// Ids are never reused (AUTOINCREMENT), so a handle of a deleted key cannot reach a newer one.
constexpr const char* Schema = R"sql(
CREATE TABLE keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name BLOB NOT NULL,
    fold BLOB NOT NULL,
    class BLOB NOT NULL,
    written INTEGER NOT NULL,
    vals BLOB NOT NULL DEFAULT x'',
    spread INTEGER NOT NULL DEFAULT 0,
    UNIQUE(parent, fold));
INSERT INTO keys(id, parent, name, fold, class, written) VALUES
    (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT', x'', 0),
    (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER', x'', 0),
    (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE', x'', 0),
    (4, 0, 'HKEY_USERS', 'HKEY_USERS', x'', 0),
    (5, 0, 'HKEY_PERFORMANCE_DATA', 'HKEY_PERFORMANCE_DATA', x'', 0),
    (6, 0, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG', x'', 0),
    (7, 0, 'HKEY_DYN_DATA', 'HKEY_DYN_DATA', x'', 0);
)sql";

// The values of keys whose values are spread (keys.spread = 1, keys.vals empty), in their order.
constexpr const char* SpreadSchema = R"sql(
CREATE TABLE spreadvals(
    key INTEGER NOT NULL,
    pos INTEGER NOT NULL,
    name BLOB NOT NULL,
    fold BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, fold));
CREATE INDEX spreadvals_order ON spreadvals(key, pos);
)sql";

std::int64_t PragmaValue(sqlite3* db, const char* sql) {
    SqlStatement pragma(db, sql);
    return pragma.Step() ? pragma.Int(0) : 0;
}

std::string PragmaText(sqlite3* db, const char* sql) {
    SqlStatement pragma(db, sql);
    return pragma.Step() ? std::string(pragma.Bytes(0)) : std::string();
}

// A store in WAL mode is read through its shared-memory file, which a reader who may not write the store's folder
// cannot make. Without a write-ahead log to read (its last writer closed it cleanly), the file alone is the store.
bool ReadableOnlyAsImmutable(const std::string& path, int code) {
    const int primary = code & 0xFF;
    if (primary != SQLITE_CANTOPEN && primary != SQLITE_READONLY) {
        return false;
    }
    std::error_code error;
    const auto logSize = std::filesystem::file_size(path + "-wal", error);
    return error || logSize == 0;
}

// The URI form of a path: SQLite reads '%', '?' and '#' as parts of a URI.
std::string FileUri(const std::string& path) {
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            constexpr std::string_view Digits = "0123456789ABCDEF";
            uri += '%';
            uri += Digits[static_cast<unsigned char>(c) >> 4];
            uri += Digits[static_cast<unsigned char>(c) & 0xF];
        } else {
            uri += c;
        }
    }
    return uri;
}

// Brings a version 1 store's values, a row each, into their keys' rows, keeping their order.
void MoveValuesIntoKeys(sqlite3* db) {
    ExecSql(db, "ALTER TABLE keys ADD COLUMN vals BLOB NOT NULL DEFAULT x''");
    {
        SqlStatement rows(db, "SELECT key, name, type, data FROM vals ORDER BY key, id");
        SqlStatement write(db, "UPDATE keys SET vals = ?2 WHERE id = ?1");
        std::int64_t key = 0;
        ValueList values;
        const auto writeKey = [&] {
            if (key != 0) {
                write.Bind(key, values.Blob()).Run();
            }
        };
        while (rows.Step()) {
            if (rows.Int(0) != key) {
                writeKey();
                key = rows.Int(0);
                values = ValueList();
            }
            if (!values.Set(rows.Bytes(1), static_cast<std::uint32_t>(rows.Int(2)), rows.Bytes(3))) {
                throw SqlStatement::SqlFailure{SQLITE_TOOBIG};
            }
        }
        writeKey();
    }
    ExecSql(db, "DROP TABLE vals");
}

// Makes the schema of a new store or upgrades an older one, whichever the store needs once this
// process holds the write lock: another process may have done it meanwhile.
void PrepareSchema(sqlite3* db, std::chrono::milliseconds busyTime) {
    Patiently(db, busyTime, [&] {
        ExecSql(db, "BEGIN IMMEDIATE");
        const std::int64_t version = PragmaValue(db, "PRAGMA user_version");
        if (version == SchemaVersion) {
            ExecSql(db, "COMMIT");
            return;
        }
        if (version == 0) {
            ExecSql(db, Schema);
        }
        if (version == 1) {
            MoveValuesIntoKeys(db);
        }
        // Keys of earlier versions keep their values in their rows until a write makes them spread.
        if (version == 1 || version == 2) {
            ExecSql(db, "ALTER TABLE keys ADD COLUMN spread INTEGER NOT NULL DEFAULT 0");
        }
        ExecSql(db, SpreadSchema);
        ExecSql(db, ("PRAGMA user_version = " + std::to_string(SchemaVersion)).c_str());
        ExecSql(db, "COMMIT");
    });
}

// The cached list of one key, read by fill when it is not at hand.
template <typename List, typename Fill>
const List& ListOf(std::unordered_map<std::int64_t, List>& lists, std::int64_t id, Fill&& fill) {
    if (lists.size() >= ListingLimit) {
        lists.clear();
    }
    const auto [list, added] = lists.try_emplace(id);
    if (added) {
        fill(list->second);
    }
    return list->second;
}

// Characters of a UTF-8 name as UTF-16 counts them: every byte that starts a character, and one more for the
// four-byte characters, which take two UTF-16 units. Bytes that are not UTF-8 count one each.
std::size_t Utf16Length(std::string_view name) {
    std::size_t length = 0;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        length += (byte & 0xC0) == 0x80 ? 0 : byte >= 0xF0 ? 2 : 1;
    }
    return length;
}

// A row of values this store did not write (another program, a failing disk) must not be read past its end.
ValueList DecodedValues(std::string_view blob) {
    std::optional<ValueList> values = ValueList::Decode(blob);
    if (!values) {
        throw SqlStatement::SqlFailure{SQLITE_CORRUPT};
    }
    return std::move(*values);
}

long FailureOf(const SqlStatement::SqlFailure& failure) {
    if (IsBusy(failure.code)) {
        return reg::StoreBusy;
    }
    switch (failure.code & 0xFF) {
        case SQLITE_FULL:
            return reg::DiskFull;
        case SQLITE_READONLY:
            return reg::WriteProtected;
        default:
            return reg::RegistryIoFailed;
    }
}

FileTime Now() {
    constexpr FileTime TicksFrom1601To1970 = 116'444'736'000'000'000;
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return TicksFrom1601To1970 +
           static_cast<FileTime>(std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100);
}

std::string_view NameOf(const char* name) {
    return name == nullptr ? std::string_view() : std::string_view(name);
}

// Copies a name with its NUL into a buffer of capacity characters, the platform way: too small a
// buffer leaves it untouched and answers MoreData.
long CopyName(std::string_view source, char* buffer, std::uint32_t capacity) {
    if (capacity <= source.size()) {
        return reg::MoreData;
    }
    source.copy(buffer, source.size());
    buffer[source.size()] = '\0';
    return reg::Success;
}

long CopyData(std::string_view source, unsigned char* data, std::uint32_t* size) {
    if (data != nullptr && size == nullptr) {
        return reg::InvalidParameter;
    }
    long result = reg::Success;
    if (data != nullptr && *size < source.size()) {
        result = reg::MoreData;
    } else if (data != nullptr) {
        std::copy(source.begin(), source.end(), data);
    }
    if (size != nullptr) {
        *size = static_cast<std::uint32_t>(source.size());
    }
    return result;
}

template <typename T>
void Put(T* target, T value) {
    if (target != nullptr) {
        *target = value;
    }
}

}  // namespace

struct RegStore::Statements {
    // The statements a call used; declared first, as the statements report to it.
    SqlStatement::Tracker used;

    explicit Statements(sqlite3* db)
        : findChild(db, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2", &used),
          keyExists(db, "SELECT 1 FROM keys WHERE id = ?1", &used),
          insertKey(db, "INSERT INTO keys(parent, name, fold, class, written, vals) VALUES(?1, ?2, ?3, ?4, ?5, ?6)",
                    &used),
          touchKey(db, "UPDATE keys SET written = ?2 WHERE id = ?1", &used),
          hasChildren(db, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1", &used),
          parentOf(db, "SELECT parent FROM keys WHERE id = ?1", &used),
          deleteKey(db, "DELETE FROM keys WHERE id = ?1", &used),
          readValues(db, "SELECT vals, spread FROM keys WHERE id = ?1", &used),
          writeValues(db, "UPDATE keys SET vals = ?2, written = ?3 WHERE id = ?1", &used),
          readSpread(db, "SELECT name, type, data FROM spreadvals WHERE key = ?1 ORDER BY pos", &used),
          markSpread(db, "UPDATE keys SET vals = x'', spread = 1, written = ?2 WHERE id = ?1", &used),
          insertSpread(db, "INSERT INTO spreadvals(key, pos, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5, ?6)",
                       &used),
          nextSpread(db, "SELECT coalesce(max(pos), -1) + 1 FROM spreadvals WHERE key = ?1", &used),
          updateSpread(db, "UPDATE spreadvals SET type = ?3, data = ?4 WHERE key = ?1 AND fold = ?2", &used),
          deleteSpread(db, "DELETE FROM spreadvals WHERE key = ?1 AND fold = ?2", &used),
          deleteAllSpread(db, "DELETE FROM spreadvals WHERE key = ?1", &used),
          keyInfo(db, "SELECT class, written FROM keys WHERE id = ?1", &used),
          childStats(db,
                     "SELECT count(*), coalesce(max(length(name)), 0), coalesce(max(length(class)), 0) "
                     "FROM keys WHERE parent = ?1",
                     &used),
          subKeys(db,
                  "SELECT name, id, EXISTS(SELECT 1 FROM keys AS sub WHERE sub.parent = keys.id) FROM keys "
                  "WHERE parent = ?1 ORDER BY fold",
                  &used),
          dataVersion(db, "PRAGMA data_version", &used),
          beginRead(db, "BEGIN"),
          beginWrite(db, "BEGIN IMMEDIATE"),
          commit(db, "COMMIT") {}

    SqlStatement findChild, keyExists, insertKey, touchKey, hasChildren, parentOf, deleteKey;
    SqlStatement readValues, writeValues;
    SqlStatement readSpread, markSpread, insertSpread, nextSpread, updateSpread, deleteSpread, deleteAllSpread;
    SqlStatement keyInfo, childStats, subKeys, dataVersion;
    SqlStatement beginRead, beginWrite, commit;
};

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

RegStore::RegStore(const std::string& path, std::chrono::milliseconds busyTime, Access access) : m_busyTime(busyTime) {
    const bool inMemory = path == InMemory;
    try {
        if (!inMemory && std::filesystem::is_directory(path)) {
            throw std::runtime_error("it is a folder, not a store file");
        }
        if (access == Access::ReadWrite && !inMemory && std::filesystem::path(path).has_parent_path()) {
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        }
        // One object is used by one thread at a time (its handles are not shared either), so the
        // connection needs no mutex of its own.
        const int flags =
            (access == Access::ReadWrite ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY) |
            SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
            throw SqlStatement::SqlFailure{sqlite3_errcode(m_db)};
        }
        sqlite3_busy_timeout(m_db, static_cast<int>(busyTime.count()));
        // A file the user may not write is opened for reading whatever the caller asked for.
        bool readOnly = access == Access::ReadOnly || sqlite3_db_readonly(m_db, "main") == 1;
        // A store made once is opened with a read only: another process writing to it never makes
        // an open wait or fail.
        std::int64_t version = 0;
        try {
            version = PragmaValue(m_db, "PRAGMA user_version");
        } catch (const SqlStatement::SqlFailure& failure) {
            if (inMemory || !ReadableOnlyAsImmutable(path, failure.code)) {
                throw;
            }
            OpenImmutable(path);
            readOnly = true;
            version = PragmaValue(m_db, "PRAGMA user_version");
        }
        if (version > SchemaVersion) {
            throw std::runtime_error("it was made by a newer version (store version " + std::to_string(version) +
                                     ", this one reads up to " + std::to_string(SchemaVersion) + ")");
        }
        if (readOnly) {
            // An empty file or an older store is read from a copy in memory, made as this version makes it, so
            // a reader changes no file.
            if (version < SchemaVersion) {
                CopyIntoMemory();
                PrepareSchema(m_db, busyTime);
            }
            ExecSql(m_db, "PRAGMA query_only = 1");
        } else {
            // FULL makes every commit survive a crash.
            ExecPatiently(m_db, "PRAGMA synchronous = FULL", busyTime);
            // WAL lets readers and one writer work at once; a store copied (VACUUM INTO, a backup) comes without it.
            if (!inMemory && PragmaText(m_db, "PRAGMA journal_mode") != "wal") {
                ExecPatiently(m_db, "PRAGMA journal_mode = WAL", busyTime);
            }
            if (version < SchemaVersion) {
                PrepareSchema(m_db, busyTime);
            }
        }
        m_sql = std::make_unique<Statements>(m_db);
    } catch (const std::exception& failure) {
        sqlite3_close(m_db);
        throw Error(reg::StoreUnusableError, "RegStore",
                    "Cannot open the registry store " + path + ": " + failure.what());
    } catch (const SqlStatement::SqlFailure& failure) {
        const std::string reason = IsBusy(failure.code) ? reg::StoreBusyText : sqlite3_errstr(failure.code);
        sqlite3_close(m_db);
        throw Error(IsBusy(failure.code) ? reg::StoreBusyError : reg::StoreUnusableError, "RegStore",
                    "Cannot open the registry store " + path + ": " + reason);
    }
}

void RegStore::OpenImmutable(const std::string& path) {
    sqlite3_close(m_db);
    m_db = nullptr;
    const std::string uri = FileUri(path) + "?immutable=1";
    if (sqlite3_open_v2(uri.c_str(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        throw SqlStatement::SqlFailure{sqlite3_errcode(m_db)};
    }
}

void RegStore::CopyIntoMemory() {
    sqlite3* memory = nullptr;
    if (sqlite3_open_v2(InMemory, &memory, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(memory);
        throw SqlStatement::SqlFailure{SQLITE_NOMEM};
    }
    sqlite3_backup* copy = sqlite3_backup_init(memory, "main", m_db, "main");
    const int copied = copy == nullptr ? sqlite3_errcode(memory) : sqlite3_backup_step(copy, -1);
    sqlite3_backup_finish(copy);
    if (copied != SQLITE_DONE) {
        sqlite3_close(memory);
        throw SqlStatement::SqlFailure{copied};
    }
    sqlite3_close(m_db);
    m_db = memory;
}

RegStore::~RegStore() {
    m_sql.reset();
    sqlite3_close(m_db);
}

// Begins a transaction, waiting for another process's write at most the busy time.
long RegStore::Begin(bool write) {
    SqlStatement& begin = write ? m_sql->beginWrite : m_sql->beginRead;
    const auto deadline = std::chrono::steady_clock::now() + m_busyTime;
    for (;;) {
        try {
            begin.Bind().Run();
            ++m_transaction;
            return reg::Success;
        } catch (const SqlStatement::SqlFailure& failure) {
            if (!IsBusy(failure.code)) {
                return FailureOf(failure);
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return reg::StoreBusy;
            }
            std::this_thread::sleep_for(RetryPause);
        }
    }
}

void RegStore::Rollback() {
    m_sql->used.ResetUsed();
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    m_touched.clear();
    m_unwritten = {};
    // Handles of a key that was never written answer as those of a deleted key.
    if (m_newKey) {
        HandNewKeyTo(0);
    }
    // What was read or written in the transaction may be gone with it.
    ForgetListings();
    m_keysSeen.clear();
}

void RegStore::LoseBatch(long failure) {
    Rollback();
    m_batch.failure = failure;
}

// Inside a batch a call runs in the batch's transaction without a savepoint of its own: each
// statement is atomic by itself, and a call that fails loses the whole batch, so a batch is kept
// whole or not at all.
template <typename Body>
long RegStore::Call(bool write, Body&& body) {
    if (m_batch.depth == 0) {
        return CallAlone(write, body);
    }
    if (m_batch.failure != reg::Success) {
        return m_batch.failure;
    }
    if (write && m_batch.use == BatchUse::Read) {
        // A read batch that starts to write has changed nothing yet, so it may start over as a writer.
        m_sql->used.ResetUsed();
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        m_batch.use = BatchUse::Write;
        if (const long code = Begin(true); code != reg::Success) {
            m_batch.failure = code;
            return code;
        }
    }
    try {
        const long result = body();
        m_sql->used.ResetUsed();
        return result;
    } catch (const SqlStatement::SqlFailure& failure) {
        LoseBatch(FailureOf(failure));
        return m_batch.failure;
    }
}

// One call alone is one transaction, so a failed call leaves nothing behind. A call that finds the
// store busy with another process starts over until the busy time runs out.
template <typename Body>
long RegStore::CallAlone(bool write, Body&& body) {
    const auto deadline = std::chrono::steady_clock::now() + m_busyTime;
    for (;;) {
        if (const long code = Begin(write); code != reg::Success) {
            return code;
        }
        try {
            const long result = body();
            m_sql->used.ResetUsed();
            m_sql->commit.Bind().Run();
            return result;
        } catch (const SqlStatement::SqlFailure& failure) {
            Rollback();
            if (!IsBusy(failure.code) || std::chrono::steady_clock::now() >= deadline) {
                return FailureOf(failure);
            }
            std::this_thread::sleep_for(RetryPause);
        }
    }
}

long RegStore::BeginBatch(BatchUse use) {
    if (m_batch.depth++ > 0) {
        return m_batch.failure;  // nested: a read batch turns into a write batch at its first write
    }
    m_batch.use = use;
    m_batch.failure = Begin(use == BatchUse::Write);
    return m_batch.failure;
}

long RegStore::CancelBatch() {
    if (m_batch.depth > 0 && m_batch.failure == reg::Success) {
        LoseBatch(reg::OperationAborted);
    }
    return EndBatch();
}

long RegStore::EndBatch() {
    if (m_batch.depth == 0 || --m_batch.depth > 0) {
        return m_batch.failure;
    }
    const long failure = std::exchange(m_batch.failure, reg::Success);
    if (failure != reg::Success) {
        return failure;
    }
    try {
        WriteUnwrittenValues();
        StampTouchedKeys();
        m_sql->used.ResetUsed();
        m_sql->commit.Bind().Run();
        return reg::Success;
    } catch (const SqlStatement::SqlFailure& commitFailure) {
        Rollback();
        return FailureOf(commitFailure);
    }
}

// Runs body(open) as one call on the key behind a handle, or answers why the handle cannot be used.
template <typename Body>
long RegStore::OnKey(RegHandle key, Use use, Body&& body) {
    return Call(use != Use::Read, [&] {
        OpenHandle open{};
        if (const long code = Resolve(key, open); code != reg::Success) {
            return code;
        }
        if (use == Use::SetValues && (open.access & reg::KeySetValue) == 0) {
            return reg::AccessDenied;
        }
        if (m_newKey && !(use == Use::SetValues && open.id == NewKeyId)) {
            const bool onNewKey = open.id == NewKeyId;
            WriteUnwrittenValues();
            if (onNewKey) {
                open = m_handles.at(key);
            }
        }
        return body(std::as_const(open));
    });
}

// As OnKey, for the key at a path below the handle's key: body(id, created).
template <typename Body>
long RegStore::OnSubKey(RegHandle key, const char* subKey, Use use, bool create, const char* keyClass, Body&& body) {
    return OnKey(key, use, [&](const OpenHandle& open) {
        std::int64_t id = 0;
        bool created = false;
        const long code = Walk(open.id, subKey, create, keyClass, id, created);
        return code == reg::Success ? body(id, created) : code;
    });
}

long RegStore::Resolve(RegHandle key, OpenHandle& open) {
    const RegHandle firstRoot = reg::HiveHandle(reg::ClassesRoot);
    if (key >= firstRoot && key < firstRoot + RootCount) {
        open = {key - firstRoot + 1, reg::KeyAllAccess};
        return reg::Success;
    }
    const auto found = m_handles.find(key);
    if (found == m_handles.end()) {
        return reg::InvalidHandle;
    }
    open = found->second;
    if (open.id == NewKeyId) {
        return reg::Success;
    }
    // Nobody else can delete a key while this transaction lasts, so one look per key is enough.
    if (m_keysSeenIn == m_transaction && m_keysSeen.contains(open.id)) {
        return reg::Success;
    }
    if (!m_sql->keyExists.Bind(open.id).Step()) {
        return reg::KeyDeleted;
    }
    SeenKey(open.id);
    return reg::Success;
}

void RegStore::SeenKey(std::int64_t id) {
    if (m_keysSeenIn != m_transaction || m_keysSeen.size() >= RememberedKeysLimit) {
        m_keysSeen.clear();
        m_keysSeenIn = m_transaction;
    }
    m_keysSeen.insert(id);
}

long RegStore::Walk(std::int64_t from, const char* subKey, bool create, const char* keyClass, std::int64_t& id,
                    bool& created) {
    std::string_view path = NameOf(subKey);
    if (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    if (!path.empty() && path.front() == '\\') {
        return reg::BadPathname;
    }
    id = from;
    created = false;
    // Inside a batch, loads and saves walk to sibling after sibling: the parent found last time is
    // still there, as nobody else can change the store while the batch's transaction lasts.
    const std::size_t lastSeparator = path.rfind('\\');
    const bool remember = m_batch.depth > 0 && lastSeparator != std::string_view::npos;
    const std::string_view parentPath = remember ? path.substr(0, lastSeparator) : std::string_view();
    const char* lastName = remember ? path.data() + lastSeparator + 1 : nullptr;
    const bool known = remember && m_lastParent.transaction == m_transaction && m_lastParent.from == from &&
                       m_lastParent.path == parentPath;
    if (known) {
        id = m_lastParent.id;
        path.remove_prefix(lastSeparator + 1);
    }
    while (!path.empty()) {
        if (path.data() == lastName && !known) {
            m_lastParent = {m_transaction, from, std::string(parentPath), id};
        }
        const std::size_t end = std::min(path.find('\\'), path.size());
        const std::string_view name = path.substr(0, end);
        path.remove_prefix(std::min(end + 1, path.size()));
        if (name.empty()) {
            continue;  // doubled separators count as one, as on the platform
        }
        if (name.size() > MaxKeyNameLength && Utf16Length(name) > MaxKeyNameLength) {
            return reg::MoreData;  // the platform's answer to an over-long key name
        }
        std::string fold = Fold(name);
        // Inside a batch a listing of the parent, if one is at hand, knows its sub-keys; alone, checking
        // that a listing is still good costs as much as the look-up.
        if (const std::optional<std::int64_t> listed = m_batch.depth > 0 ? ListedSubKey(id, fold) : std::nullopt) {
            id = *listed;
            SeenKey(id);
            continue;
        }
        const std::int64_t changes = sqlite3_total_changes64(m_db);
        const bool knownMissing = m_batch.depth > 0 && m_lastMissing.transaction == m_transaction &&
                                  m_lastMissing.changes == changes && m_lastMissing.parent == id &&
                                  m_lastMissing.fold == fold;
        if (!knownMissing && m_sql->findChild.Bind(id, std::string_view(fold)).Step()) {
            id = m_sql->findChild.Int(0);
            if (m_batch.depth > 0) {
                SeenKey(id);
            }
            continue;
        }
        if (!create) {
            // A load opens a key before it creates it.
            if (m_batch.depth > 0) {
                m_lastMissing = {m_transaction, changes, id, std::move(fold)};
            }
            return reg::FileNotFound;
        }
        // Every key the call creates gets the class, not only the last one, as on the platform.
        Touch(id);
        created = true;
        if (m_batch.depth > 0 && path.empty()) {
            // The key a batch is about to fill: written when its values are.
            WriteUnwrittenValues();
            m_newKey = NewKey{id, std::string(name), std::move(fold), std::string(NameOf(keyClass)), {}};
            m_unwritten = {NewKeyId, true, {}};
            id = NewKeyId;
            break;
        }
        m_sql->insertKey
            .Bind(id, name, std::string_view(fold), NameOf(keyClass), static_cast<std::int64_t>(Now()),
                  std::string_view())
            .Run();
        id = sqlite3_last_insert_rowid(m_db);
        SeenKey(id);
    }
    return reg::Success;
}

RegHandle RegStore::NewHandle(std::int64_t id, std::uint32_t access) {
    const RegHandle handle = m_nextHandle++;
    m_handles[handle] = {id, access};
    if (id == NewKeyId) {
        m_newKey->handles.push_back(handle);
    }
    return handle;
}

void RegStore::Touch(std::int64_t id) {
    if (m_batch.depth == 0) {
        m_sql->touchKey.Bind(id, static_cast<std::int64_t>(Now())).Run();
    } else if (m_touched.empty() || m_touched.back() != id) {
        m_touched.push_back(id);
    }
}

ValueList RegStore::ReadValues(std::int64_t id) {
    SqlStatement& row = m_sql->readValues.Bind(id);
    if (!row.Step()) {
        return {};
    }
    if (row.Int(1) != 0) {
        ValueList values;
        for (SqlStatement& value = m_sql->readSpread.Bind(id); value.Step();) {
            if (!values.Set(value.Bytes(0), static_cast<std::uint32_t>(value.Int(1)), value.Bytes(2))) {
                throw SqlStatement::SqlFailure{SQLITE_TOOBIG};
            }
        }
        return values;
    }
    return DecodedValues(row.Bytes(0));
}

// Writes a key's values with its new time stamp: in its row, or a row each once they outgrow SpreadAbove.
void RegStore::WriteValues(std::int64_t id, const ValueList& values) {
    if (values.Blob().size() <= SpreadAbove) {
        m_sql->writeValues.Bind(id, values.Blob(), static_cast<std::int64_t>(Now())).Run();
        return;
    }
    for (std::size_t i = 0; i < values.Size(); ++i) {
        const ValueList::Value value = values[i];
        m_sql->insertSpread
            .Bind(id, static_cast<std::int64_t>(i), value.name, std::string_view(Fold(value.name)),
                  static_cast<std::int64_t>(value.type), value.data)
            .Run();
    }
    m_sql->markSpread.Bind(id, static_cast<std::int64_t>(Now())).Run();
}

// Sets (value given) or deletes (none given) one value of a list.
long RegStore::ChangeList(ValueList& values, std::string_view name, const std::optional<NewValue>& value) {
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
long RegStore::ChangeValue(std::int64_t id, std::string_view name, const std::optional<NewValue>& value) {
    if (m_batch.depth > 0 && m_unwritten.key == id) {
        const long result = ChangeList(m_unwritten.values, name, value);
        m_unwritten.changed = m_unwritten.changed || result == reg::Success;
        return result;
    }
    if (m_batch.depth > 0) {
        WriteUnwrittenValues();
    }
    SqlStatement& row = m_sql->readValues.Bind(id);
    const bool found = row.Step();
    if (found && row.Int(1) != 0) {
        return ChangeSpreadValue(id, name, value);
    }
    ValueList values = found ? DecodedValues(row.Bytes(0)) : ValueList();
    const long result = ChangeList(values, name, value);
    if (m_batch.depth > 0) {
        m_unwritten = {id, result == reg::Success, std::move(values)};
    } else if (result == reg::Success) {
        WriteValues(id, values);
    }
    return result;
}

long RegStore::ChangeSpreadValue(std::int64_t id, std::string_view name, const std::optional<NewValue>& value) {
    const std::string fold = Fold(name);
    if (!value) {
        m_sql->deleteSpread.Bind(id, std::string_view(fold)).Run();
        if (sqlite3_changes(m_db) == 0) {
            return reg::FileNotFound;
        }
    } else {
        const auto type = static_cast<std::int64_t>(value->type);
        m_sql->updateSpread.Bind(id, std::string_view(fold), type, value->data).Run();
        if (sqlite3_changes(m_db) == 0) {
            SqlStatement& next = m_sql->nextSpread.Bind(id);
            next.Step();
            const std::int64_t position = next.Int(0);
            m_sql->insertSpread.Bind(id, position, name, std::string_view(fold), type, value->data).Run();
        }
    }
    Touch(id);
    return reg::Success;
}

void RegStore::WriteUnwrittenValues() {
    if (m_unwritten.key == 0) {
        return;
    }
    if (m_unwritten.key == NewKeyId) {
        WriteNewKey();
    } else if (m_unwritten.changed) {
        WriteValues(m_unwritten.key, m_unwritten.values);
    }
    m_unwritten = {};
}

void RegStore::WriteNewKey() {
    const NewKey& key = *m_newKey;
    const ValueList& values = m_unwritten.values;
    const bool spread = values.Blob().size() > SpreadAbove;
    m_sql->insertKey
        .Bind(key.parent, std::string_view(key.name), std::string_view(key.fold), std::string_view(key.keyClass),
              static_cast<std::int64_t>(Now()), spread ? std::string_view() : values.Blob())
        .Run();
    const std::int64_t id = sqlite3_last_insert_rowid(m_db);
    if (spread) {
        WriteValues(id, values);
    }
    HandNewKeyTo(id);
    SeenKey(id);
}

// Points the new key's handles that are still open at the key's row, and forgets the new key.
void RegStore::HandNewKeyTo(std::int64_t id) {
    for (const RegHandle handle : m_newKey->handles) {
        if (const auto open = m_handles.find(handle); open != m_handles.end() && open->second.id == NewKeyId) {
            open->second.id = id;
        }
    }
    m_newKey.reset();
}

void RegStore::StampTouchedKeys() {
    std::sort(m_touched.begin(), m_touched.end());
    m_touched.erase(std::unique(m_touched.begin(), m_touched.end()), m_touched.end());
    const auto now = static_cast<std::int64_t>(Now());
    for (const std::int64_t id : m_touched) {
        m_sql->touchKey.Bind(id, now).Run();
    }
    m_touched.clear();
}

long RegStore::OpenKeyEx(RegHandle key, const char* subKey, std::uint32_t, std::uint32_t access, RegHandle* result) {
    if (result == nullptr) {
        return reg::InvalidParameter;
    }
    return OnSubKey(key, subKey, Use::Read, false, nullptr, [&](std::int64_t id, bool) {
        *result = NewHandle(id, access);
        return reg::Success;
    });
}

long RegStore::CreateKeyEx(RegHandle key, const char* subKey, const char* keyClass, std::uint32_t, std::uint32_t access,
                           RegHandle* result, std::uint32_t* disposition) {
    if (result == nullptr) {
        return reg::InvalidParameter;
    }
    return OnSubKey(key, subKey, Use::Change, true, keyClass, [&](std::int64_t id, bool created) {
        *result = NewHandle(id, access);
        Put(disposition, created ? CreatedNewKey : OpenedExistingKey);
        return reg::Success;
    });
}

long RegStore::CloseKey(RegHandle key) {
    const RegHandle firstRoot = reg::HiveHandle(reg::ClassesRoot);
    if (key >= firstRoot && key < firstRoot + RootCount) {
        return reg::Success;
    }
    return m_handles.erase(key) == 1 ? reg::Success : reg::InvalidHandle;
}

long RegStore::DeleteKey(RegHandle key, const char* subKey) {
    return OnSubKey(key, subKey, Use::Change, false, nullptr, [&](std::int64_t id, bool) {
        if (id <= RootCount || m_sql->hasChildren.Bind(id).Step()) {
            return reg::AccessDenied;
        }
        WriteUnwrittenValues();
        m_sql->parentOf.Bind(id).Step();
        const std::int64_t parent = m_sql->parentOf.Int(0);
        m_sql->deleteKey.Bind(id).Run();
        m_sql->deleteAllSpread.Bind(id).Run();
        m_keysSeen.erase(id);
        m_lastParent = {};
        Touch(parent);
        return reg::Success;
    });
}

long RegStore::QueryValueEx(RegHandle key, const char* valueName, std::uint32_t* type, unsigned char* data,
                            std::uint32_t* size) {
    return OnKey(key, Use::Read, [&](const OpenHandle& open) {
        const std::optional<ValueList::Value> value = Values(open.id).Find(NameOf(valueName));
        if (!value) {
            return reg::FileNotFound;
        }
        Put(type, value->type);
        return CopyData(value->data, data, size);
    });
}

long RegStore::SetValueEx(RegHandle key, const char* valueName, std::uint32_t type, const unsigned char* data,
                          std::uint32_t size) {
    if (data == nullptr && size > 0) {
        return reg::InvalidParameter;
    }
    return OnKey(key, Use::SetValues, [&](const OpenHandle& open) {
        const std::string_view bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size);
        return ChangeValue(open.id, NameOf(valueName), NewValue{type, bytes});
    });
}

long RegStore::DeleteValue(RegHandle key, const char* valueName) {
    return OnKey(key, Use::SetValues,
                 [&](const OpenHandle& open) { return ChangeValue(open.id, NameOf(valueName), std::nullopt); });
}

long RegStore::QueryInfoKey(RegHandle key, char* keyClass, std::uint32_t* classLength, std::uint32_t* subKeys,
                            std::uint32_t* maxSubKeyLength, std::uint32_t* maxClassLength, std::uint32_t* values,
                            std::uint32_t* maxValueNameLength, std::uint32_t* maxValueLength,
                            std::uint32_t* securityDescriptorSize, FileTime* lastWriteTime) {
    if (keyClass != nullptr && classLength == nullptr) {
        return reg::InvalidParameter;
    }
    return OnKey(key, Use::Read, [&](const OpenHandle& open) {
        // Only what the caller asks for is looked up: a save asks for the longest value name of
        // every key, and nothing else.
        if (keyClass != nullptr || classLength != nullptr || lastWriteTime != nullptr) {
            // A batch's keys show the time they were written at, not the time they were last read.
            WriteUnwrittenValues();
            StampTouchedKeys();
            SqlStatement& info = m_sql->keyInfo.Bind(open.id);
            info.Step();
            const std::string_view cls = info.Bytes(0);
            if (keyClass != nullptr && CopyName(cls, keyClass, *classLength) != reg::Success) {
                *classLength = static_cast<std::uint32_t>(cls.size());
                return reg::MoreData;
            }
            Put(classLength, static_cast<std::uint32_t>(cls.size()));
            Put(lastWriteTime, static_cast<FileTime>(info.Int(1)));
        }
        if (subKeys != nullptr || maxSubKeyLength != nullptr || maxClassLength != nullptr) {
            SqlStatement& children = m_sql->childStats.Bind(open.id);
            children.Step();
            Put(subKeys, static_cast<std::uint32_t>(children.Int(0)));
            Put(maxSubKeyLength, static_cast<std::uint32_t>(children.Int(1)));
            Put(maxClassLength, static_cast<std::uint32_t>(children.Int(2)));
        }
        if (values != nullptr || maxValueNameLength != nullptr || maxValueLength != nullptr) {
            // Read as enumeration reads them, which usually comes next and then finds them at hand.
            std::size_t longestName = 0;
            std::size_t longestData = 0;
            const ValueList& list = Values(open.id);
            for (std::size_t i = 0; i < list.Size(); ++i) {
                longestName = std::max(longestName, list[i].name.size());
                longestData = std::max(longestData, list[i].data.size());
            }
            Put(values, static_cast<std::uint32_t>(list.Size()));
            Put(maxValueNameLength, static_cast<std::uint32_t>(longestName));
            Put(maxValueLength, static_cast<std::uint32_t>(longestData));
        }
        // The store keeps no access control lists, so there is no descriptor to measure.
        Put(securityDescriptorSize, std::uint32_t{0});
        return reg::Success;
    });
}

long RegStore::EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength, std::uint32_t* type,
                         unsigned char* data, std::uint32_t* size) {
    if (name == nullptr || nameLength == nullptr) {
        return reg::InvalidParameter;
    }
    return OnKey(key, Use::Read, [&](const OpenHandle& open) {
        const ValueList& values = Values(open.id);
        if (index >= values.Size()) {
            m_valueLists.erase(open.id);
            return reg::NoMoreItems;
        }
        const ValueList::Value value = values[index];
        if (CopyName(value.name, name, *nameLength) != reg::Success) {
            return reg::MoreData;
        }
        *nameLength = static_cast<std::uint32_t>(value.name.size());
        Put(type, value.type);
        return CopyData(value.data, data, size);
    });
}

long RegStore::EnumKey(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameBufferLength) {
    if (name == nullptr) {
        return reg::InvalidParameter;
    }
    return OnKey(key, Use::Read, [&](const OpenHandle& open) {
        const std::vector<SubKey>& subKeys = SubKeys(open.id);
        if (index >= subKeys.size()) {
            // Kept aside, as the sub-keys are usually opened next.
            if (const auto listing = m_subKeyLists.find(open.id); listing != m_subKeyLists.end()) {
                m_listedToTheEnd = {open.id, std::move(listing->second)};
                m_subKeyLists.erase(listing);
            }
            return reg::NoMoreItems;
        }
        return CopyName(subKeys[index].name, name, nameBufferLength);
    });
}

// Drops the cached enumerations when the database is no longer the one they were read from.
void RegStore::CheckListings() {
    DatabaseState now{m_transaction, -1, sqlite3_total_changes64(m_db)};
    if (m_batch.depth == 0) {
        // Alone, every call is a transaction of its own; other connections' commits show in the version.
        now.transaction = 0;
        m_sql->dataVersion.Bind().Step();
        now.othersVersion = m_sql->dataVersion.Int(0);
    }
    if (now != m_listedIn) {
        ForgetListings();
        m_listedIn = now;
    }
}

void RegStore::ForgetListings() {
    m_subKeyLists.clear();
    m_listedToTheEnd = {};
    m_withoutSubKeys.clear();
    m_valueLists.clear();
    m_listedIn = {};
}

const std::vector<RegStore::SubKey>& RegStore::SubKeys(std::int64_t id) {
    static const std::vector<SubKey> None;
    CheckListings();
    if (m_withoutSubKeys.contains(id)) {
        return None;
    }
    return ListOf(m_subKeyLists, id, [&](std::vector<SubKey>& subKeys) {
        for (SqlStatement& row = m_sql->subKeys.Bind(id); row.Step();) {
            subKeys.push_back({std::string(row.Bytes(0)), row.Int(1)});
            const bool hasSubKeys = row.Int(2) != 0;
            if (!hasSubKeys && m_withoutSubKeys.size() < RememberedKeysLimit) {
                m_withoutSubKeys.insert(subKeys.back().id);
            }
        }
    });
}

// The sub-key of a listing that is still good, found without asking the database.
std::optional<std::int64_t> RegStore::ListedSubKey(std::int64_t parent, std::string_view fold) {
    CheckListings();
    const auto listing = m_subKeyLists.find(parent);
    if (listing == m_subKeyLists.end() && m_listedToTheEnd.first != parent) {
        return std::nullopt;
    }
    const std::vector<SubKey>& subKeys = listing != m_subKeyLists.end() ? listing->second : m_listedToTheEnd.second;
    const auto found = std::lower_bound(subKeys.begin(), subKeys.end(), fold, [](const SubKey& subKey, std::string_view f) {
        return CompareFolded(subKey.name, f) < 0;
    });
    if (found == subKeys.end() || CompareFolded(found->name, fold) != 0) {
        return std::nullopt;
    }
    return found->id;
}

const ValueList& RegStore::Values(std::int64_t id) {
    WriteUnwrittenValues();
    CheckListings();
    return ListOf(m_valueLists, id, [&](ValueList& values) { values = ReadValues(id); });
}

}  // namespace vor
