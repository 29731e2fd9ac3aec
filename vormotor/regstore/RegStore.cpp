#include "vormotor/regstore/RegStore.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sqlite3.h>
#include <thread>
#include <utility>

#include "vormotor/core/Error.h"
#include "vormotor/regstore/SqlStatement.h"

namespace vor {

namespace {

constexpr std::int64_t RootCount = 7;
constexpr std::size_t MaxKeyNameLength = 255;
constexpr std::uint32_t CreatedNewKey = 1;
constexpr std::uint32_t OpenedExistingKey = 2;
// How long a call waits for another process that holds the store.
constexpr std::chrono::seconds BusyTime{10};
constexpr std::chrono::milliseconds RetryPause{2};

bool IsBusy(int code) {
    return (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED;
}

// Opening, switching to WAL and creating the schema can meet another process doing the same;
// SQLite's own busy wait does not cover all of these steps.
void ExecPatiently(sqlite3* db, const char* sql) {
    const auto deadline = std::chrono::steady_clock::now() + BusyTime;
    for (;;) {
        try {
            ExecSql(db, sql);
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

constexpr const char* Schema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name BLOB NOT NULL,
    fold BLOB NOT NULL,
    class BLOB NOT NULL,
    written INTEGER NOT NULL,
    UNIQUE(parent, fold));
CREATE TABLE IF NOT EXISTS vals(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    key INTEGER NOT NULL,
    name BLOB NOT NULL,
    fold BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, fold));
CREATE INDEX IF NOT EXISTS vals_in_order ON vals(key, id);
INSERT OR IGNORE INTO keys(id, parent, name, fold, class, written) VALUES
    (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT', x'', 0),
    (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER', x'', 0),
    (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE', x'', 0),
    (4, 0, 'HKEY_USERS', 'HKEY_USERS', x'', 0),
    (5, 0, 'HKEY_PERFORMANCE_DATA', 'HKEY_PERFORMANCE_DATA', x'', 0),
    (6, 0, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG', x'', 0),
    (7, 0, 'HKEY_DYN_DATA', 'HKEY_DYN_DATA', x'', 0);
)sql";

// Only ASCII letters fold: the store keeps bytes, not characters of any one code page.
std::string Fold(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return folded;
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
    explicit Statements(sqlite3* db)
        : findChild(db, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2"),
          keyExists(db, "SELECT 1 FROM keys WHERE id = ?1"),
          insertKey(db, "INSERT INTO keys(parent, name, fold, class, written) VALUES(?1, ?2, ?3, ?4, ?5)"),
          touchKey(db, "UPDATE keys SET written = ?2 WHERE id = ?1"),
          hasChildren(db, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1"),
          parentOf(db, "SELECT parent FROM keys WHERE id = ?1"),
          deleteKeyValues(db, "DELETE FROM vals WHERE key = ?1"),
          deleteKey(db, "DELETE FROM keys WHERE id = ?1"),
          getValue(db, "SELECT type, data FROM vals WHERE key = ?1 AND fold = ?2"),
          setValue(db,
                   "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
                   "ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data"),
          deleteValue(db, "DELETE FROM vals WHERE key = ?1 AND fold = ?2"),
          keyInfo(db, "SELECT class, written FROM keys WHERE id = ?1"),
          childStats(db,
                     "SELECT count(*), coalesce(max(length(name)), 0), coalesce(max(length(class)), 0) "
                     "FROM keys WHERE parent = ?1"),
          valueStats(db,
                     "SELECT count(*), coalesce(max(length(name)), 0), coalesce(max(length(data)), 0) "
                     "FROM vals WHERE key = ?1"),
          valueAt(db, "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2"),
          childNames(db, "SELECT name FROM keys WHERE parent = ?1 ORDER BY fold"),
          dataVersion(db, "PRAGMA data_version"),
          beginRead(db, "BEGIN"),
          beginWrite(db, "BEGIN IMMEDIATE"),
          commit(db, "COMMIT"),
          savepoint(db, "SAVEPOINT call"),
          release(db, "RELEASE call") {}

    SqlStatement findChild, keyExists, insertKey, touchKey, hasChildren, parentOf, deleteKeyValues, deleteKey;
    SqlStatement getValue, setValue, deleteValue;
    SqlStatement keyInfo, childStats, valueStats, valueAt, childNames, dataVersion;
    SqlStatement beginRead, beginWrite, commit, savepoint, release;

    void ResetAll() {
        for (SqlStatement* statement : {&findChild, &keyExists, &insertKey, &touchKey, &hasChildren, &parentOf,
                                        &deleteKeyValues, &deleteKey, &getValue, &setValue, &deleteValue, &keyInfo,
                                        &childStats, &valueStats, &valueAt, &childNames, &dataVersion}) {
            statement->Reset();
        }
    }
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

RegStore::RegStore(const std::string& path) {
    const bool inMemory = path == InMemory;
    try {
        if (!inMemory && std::filesystem::path(path).has_parent_path()) {
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        }
        if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            throw SqlStatement::SqlFailure{sqlite3_errcode(m_db)};
        }
        // Another process may hold the write lock for the length of one call or one batch.
        sqlite3_busy_timeout(m_db, 10'000);
        // WAL lets readers and one writer work at once; FULL makes every commit survive a crash.
        ExecPatiently(m_db,
                      inMemory ? "PRAGMA synchronous = FULL" : "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL");
        ExecPatiently(m_db, (std::string("BEGIN IMMEDIATE;") + Schema + "COMMIT;").c_str());
        m_sql = std::make_unique<Statements>(m_db);
    } catch (const std::exception& failure) {
        sqlite3_close(m_db);
        throw Error(static_cast<std::int32_t>(reg::RegistryIoFailed), "RegStore",
                    "Cannot open the registry store " + path + ": " + failure.what());
    } catch (const SqlStatement::SqlFailure& failure) {
        const std::string reason = sqlite3_errstr(failure.code);
        sqlite3_close(m_db);
        throw Error(static_cast<std::int32_t>(reg::RegistryIoFailed), "RegStore",
                    "Cannot open the registry store " + path + ": " + reason);
    }
}

RegStore::~RegStore() {
    m_sql.reset();
    sqlite3_close(m_db);
}

// One call is one transaction, or a savepoint inside a batch, so a failed call leaves nothing behind.
// A call that finds the store busy with another process starts over until the busy time runs out.
template <typename Body>
long RegStore::Call(bool write, Body&& body) {
    const bool nested = m_inBatch;
    // Inside a batch a read needs no savepoint: it changes nothing to undo.
    if (nested && !write) {
        try {
            const long result = body();
            m_sql->ResetAll();
            return result;
        } catch (const SqlStatement::SqlFailure&) {
            m_sql->ResetAll();
            return reg::RegistryIoFailed;
        }
    }
    SqlStatement& begin = nested ? m_sql->savepoint : write ? m_sql->beginWrite : m_sql->beginRead;
    SqlStatement& end = nested ? m_sql->release : m_sql->commit;
    const auto deadline = std::chrono::steady_clock::now() + BusyTime;
    for (;;) {
        try {
            begin.Bind().Run();
        } catch (const SqlStatement::SqlFailure& failure) {
            if (!nested && IsBusy(failure.code) && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(RetryPause);
                continue;
            }
            return reg::RegistryIoFailed;
        }
        try {
            const long result = body();
            m_sql->ResetAll();
            end.Bind().Run();
            return result;
        } catch (const SqlStatement::SqlFailure& failure) {
            m_sql->ResetAll();
            sqlite3_exec(m_db, nested ? "ROLLBACK TO call; RELEASE call" : "ROLLBACK", nullptr, nullptr, nullptr);
            if (nested || !IsBusy(failure.code) || std::chrono::steady_clock::now() >= deadline) {
                return reg::RegistryIoFailed;
            }
            std::this_thread::sleep_for(RetryPause);
        }
    }
}

void RegStore::BeginBatch() {
    if (m_batchDepth++ == 0) {
        try {
            ExecPatiently(m_db, "BEGIN IMMEDIATE");
            m_inBatch = true;
        } catch (const SqlStatement::SqlFailure&) {
            m_inBatch = false;
        }
    }
}

long RegStore::EndBatch() {
    if (--m_batchDepth > 0 || !m_inBatch) {
        return reg::Success;
    }
    m_inBatch = false;
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
        return reg::Success;
    }
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return reg::RegistryIoFailed;
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
    return m_sql->keyExists.Bind(open.id).Step() ? reg::Success : reg::KeyDeleted;
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
    while (!path.empty()) {
        const std::size_t end = std::min(path.find('\\'), path.size());
        const std::string_view name = path.substr(0, end);
        path.remove_prefix(std::min(end + 1, path.size()));
        if (name.empty()) {
            continue;  // doubled separators count as one, as on the platform
        }
        if (name.size() > MaxKeyNameLength) {
            return reg::MoreData;  // the platform's answer to an over-long key name
        }
        const std::string fold = Fold(name);
        if (m_sql->findChild.Bind(id, std::string_view(fold)).Step()) {
            id = m_sql->findChild.Int(0);
            continue;
        }
        if (!create) {
            return reg::FileNotFound;
        }
        const FileTime now = Now();
        // Every key the call creates gets the class, not only the last one, as on the platform.
        m_sql->insertKey.Bind(id, name, std::string_view(fold), NameOf(keyClass), static_cast<std::int64_t>(now)).Run();
        m_sql->touchKey.Bind(id, static_cast<std::int64_t>(now)).Run();
        id = sqlite3_last_insert_rowid(m_db);
        created = true;
    }
    return reg::Success;
}

RegHandle RegStore::NewHandle(std::int64_t id, std::uint32_t access) {
    const RegHandle handle = m_nextHandle++;
    m_handles[handle] = {id, access};
    return handle;
}

void RegStore::Touch(std::int64_t id) {
    m_sql->touchKey.Bind(id, static_cast<std::int64_t>(Now())).Run();
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
        m_sql->parentOf.Bind(id).Step();
        const std::int64_t parent = m_sql->parentOf.Int(0);
        m_sql->deleteKeyValues.Bind(id).Run();
        m_sql->deleteKey.Bind(id).Run();
        Touch(parent);
        return reg::Success;
    });
}

long RegStore::QueryValueEx(RegHandle key, const char* valueName, std::uint32_t* type, unsigned char* data,
                            std::uint32_t* size) {
    return OnKey(key, Use::Read, [&](const OpenHandle& open) {
        SqlStatement& value = m_sql->getValue.Bind(open.id, std::string_view(Fold(NameOf(valueName))));
        if (!value.Step()) {
            return reg::FileNotFound;
        }
        Put(type, static_cast<std::uint32_t>(value.Int(0)));
        return CopyData(value.Bytes(1), data, size);
    });
}

long RegStore::SetValueEx(RegHandle key, const char* valueName, std::uint32_t type, const unsigned char* data,
                          std::uint32_t size) {
    if (data == nullptr && size > 0) {
        return reg::InvalidParameter;
    }
    return OnKey(key, Use::SetValues, [&](const OpenHandle& open) {
        const std::string_view name = NameOf(valueName);
        const std::string_view bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size);
        m_sql->setValue.Bind(open.id, name, std::string_view(Fold(name)), static_cast<std::int64_t>(type), bytes).Run();
        Touch(open.id);
        return reg::Success;
    });
}

long RegStore::DeleteValue(RegHandle key, const char* valueName) {
    return OnKey(key, Use::SetValues, [&](const OpenHandle& open) {
        m_sql->deleteValue.Bind(open.id, std::string_view(Fold(NameOf(valueName)))).Run();
        if (sqlite3_changes(m_db) == 0) {
            return reg::FileNotFound;
        }
        Touch(open.id);
        return reg::Success;
    });
}

long RegStore::QueryInfoKey(RegHandle key, char* keyClass, std::uint32_t* classLength, std::uint32_t* subKeys,
                            std::uint32_t* maxSubKeyLength, std::uint32_t* maxClassLength, std::uint32_t* values,
                            std::uint32_t* maxValueNameLength, std::uint32_t* maxValueLength,
                            std::uint32_t* securityDescriptorSize, FileTime* lastWriteTime) {
    if (keyClass != nullptr && classLength == nullptr) {
        return reg::InvalidParameter;
    }
    return OnKey(key, Use::Read, [&](const OpenHandle& open) {
        SqlStatement& info = m_sql->keyInfo.Bind(open.id);
        info.Step();
        const std::string_view cls = info.Bytes(0);
        if (keyClass != nullptr && CopyName(cls, keyClass, *classLength) != reg::Success) {
            *classLength = static_cast<std::uint32_t>(cls.size());
            return reg::MoreData;
        }
        Put(classLength, static_cast<std::uint32_t>(cls.size()));
        Put(lastWriteTime, static_cast<FileTime>(info.Int(1)));
        SqlStatement& children = m_sql->childStats.Bind(open.id);
        children.Step();
        Put(subKeys, static_cast<std::uint32_t>(children.Int(0)));
        Put(maxSubKeyLength, static_cast<std::uint32_t>(children.Int(1)));
        Put(maxClassLength, static_cast<std::uint32_t>(children.Int(2)));
        SqlStatement& vals = m_sql->valueStats.Bind(open.id);
        vals.Step();
        Put(values, static_cast<std::uint32_t>(vals.Int(0)));
        Put(maxValueNameLength, static_cast<std::uint32_t>(vals.Int(1)));
        Put(maxValueLength, static_cast<std::uint32_t>(vals.Int(2)));
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
        SqlStatement& value = m_sql->valueAt.Bind(open.id, static_cast<std::int64_t>(index));
        if (!value.Step()) {
            return reg::NoMoreItems;
        }
        const std::string_view valueName = value.Bytes(0);
        if (CopyName(valueName, name, *nameLength) != reg::Success) {
            return reg::MoreData;
        }
        *nameLength = static_cast<std::uint32_t>(valueName.size());
        Put(type, static_cast<std::uint32_t>(value.Int(1)));
        return CopyData(value.Bytes(2), data, size);
    });
}

long RegStore::EnumKey(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameBufferLength) {
    if (name == nullptr) {
        return reg::InvalidParameter;
    }
    return OnKey(key, Use::Read, [&](const OpenHandle& open) {
        const std::vector<std::string>& names = SubKeyNames(open.id);
        return index < names.size() ? CopyName(names[index], name, nameBufferLength) : reg::NoMoreItems;
    });
}

// Enumerating by index would rescan the siblings for every index; one sorted list per key, kept while
// nobody has written, makes a whole enumeration linear.
const std::vector<std::string>& RegStore::SubKeyNames(std::int64_t id) {
    m_sql->dataVersion.Bind().Step();
    const std::int64_t version = m_sql->dataVersion.Int(0);
    const std::int64_t stamp = sqlite3_total_changes64(m_db);
    if (m_snapshot.id != id || m_snapshot.stamp != stamp || m_snapshot.version != version) {
        m_snapshot = {id, stamp, version, {}};
        for (SqlStatement& child = m_sql->childNames.Bind(id); child.Step();) {
            m_snapshot.names.emplace_back(child.Bytes(0));
        }
    }
    return m_snapshot.names;
}

}  // namespace vor
