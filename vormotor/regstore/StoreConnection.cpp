#include "vormotor/regstore/StoreConnection.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
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
#include "vormotor/regstore/StoreSchema.h"
#include "vormotor/regstore/StoreStatements.h"

namespace vor::store {

namespace {

using namespace store_schema;

constexpr std::int64_t RootCount = 7;
// The platform's limit, in UTF-16 characters: 255 characters of any script, not 255 bytes of UTF-8.
constexpr std::size_t MaxKeyNameLength = 255;
constexpr std::uint32_t CreatedNewKey = 1;
constexpr std::uint32_t OpenedExistingKey = 2;
// Keys remembered to exist: a save of a large tree looks at each key several times.
constexpr std::size_t RememberedKeysLimit = 1 << 16;
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
    } else if (data != nullptr && !source.empty()) {
        std::memcpy(data, source.data(), source.size());
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

StoreConnection::StoreConnection(const std::string& path, std::chrono::milliseconds busyTime, RegStore::Access access)
    : m_busyTime(busyTime) {
    const bool inMemory = path == RegStore::InMemory;
    try {
        if (!inMemory && std::filesystem::is_directory(path)) {
            throw std::runtime_error("it is a folder, not a store file");
        }
        if (access == RegStore::Access::ReadWrite && !inMemory && std::filesystem::path(path).has_parent_path()) {
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        }
        // One object is used by one thread at a time (its handles are not shared either), so the
        // connection needs no mutex of its own.
        const int flags = (access == RegStore::Access::ReadWrite ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                                                 : SQLITE_OPEN_READONLY) |
                          SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr) != SQLITE_OK) {
            throw SqlStatement::SqlFailure{sqlite3_errcode(m_db)};
        }
        sqlite3_busy_timeout(m_db, static_cast<int>(busyTime.count()));
        // A file the user may not write is opened for reading whatever the caller asked for.
        bool readOnly = access == RegStore::Access::ReadOnly || sqlite3_db_readonly(m_db, "main") == 1;
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
        m_sql = std::make_unique<StoreStatements>(m_db);
        m_writer = std::make_unique<BatchWriter>(
            m_db, *m_sql,
            [this](std::int64_t id, const std::vector<RegHandle>& handles) { NewKeyWritten(id, handles); });
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

void StoreConnection::OpenImmutable(const std::string& path) {
    sqlite3_close(m_db);
    m_db = nullptr;
    const std::string uri = FileUri(path) + "?immutable=1";
    if (sqlite3_open_v2(uri.c_str(), &m_db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        throw SqlStatement::SqlFailure{sqlite3_errcode(m_db)};
    }
}

void StoreConnection::CopyIntoMemory() {
    sqlite3* memory = nullptr;
    if (sqlite3_open_v2(RegStore::InMemory, &memory, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
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

StoreConnection::~StoreConnection() {
    m_writer.reset();
    m_sql.reset();
    sqlite3_close(m_db);
}

// Begins a transaction, waiting for another process's write at most the busy time.
long StoreConnection::Begin(bool write) {
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

void StoreConnection::Rollback() {
    m_sql->used.ResetUsed();
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    m_writer->Drop();
    // What was read or written in the transaction may be gone with it.
    m_listings.Forget();
    m_keysSeen.clear();
    m_created.Forget();
}

void StoreConnection::LoseBatch(long failure) {
    Rollback();
    m_batch.failure = failure;
}

// Inside a batch a call runs in the batch's transaction without a savepoint of its own: each
// statement is atomic by itself, and a call that fails loses the whole batch, so a batch is kept
// whole or not at all.
template <typename Body>
long StoreConnection::Call(bool write, Body&& body) {
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
long StoreConnection::CallAlone(bool write, Body&& body) {
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

long StoreConnection::BeginBatch(BatchUse use) {
    if (m_batch.depth++ > 0) {
        return m_batch.failure;  // nested: a read batch turns into a write batch at its first write
    }
    m_batch.use = use;
    m_batch.failure = Begin(use == BatchUse::Write);
    return m_batch.failure;
}

long StoreConnection::CancelBatch() {
    if (m_batch.depth > 0 && m_batch.failure == reg::Success) {
        LoseBatch(reg::OperationAborted);
    }
    return EndBatch();
}

long StoreConnection::EndBatch() {
    if (m_batch.depth == 0 || --m_batch.depth > 0) {
        return m_batch.failure;
    }
    const long failure = std::exchange(m_batch.failure, reg::Success);
    if (failure != reg::Success) {
        return failure;
    }
    try {
        m_writer->WriteUnwritten();
        m_writer->StampTouched();
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
long StoreConnection::OnKey(RegHandle key, Use use, Body&& body) {
    return Call(use != Use::Read, [&] {
        OpenHandle open{};
        if (const long code = Resolve(key, open); code != reg::Success) {
            return code;
        }
        if (use == Use::SetValues && (open.access & reg::KeySetValue) == 0) {
            return reg::AccessDenied;
        }
        if (m_writer->HasNewKey() && !(use == Use::SetValues && open.id == BatchWriter::NewKeyId)) {
            const bool onNewKey = open.id == BatchWriter::NewKeyId;
            m_writer->WriteUnwritten();
            if (onNewKey) {
                open = m_handles.at(key);
            }
        }
        return body(std::as_const(open));
    });
}

// As OnKey, for the key at a path below the handle's key: body(id, created).
template <typename Body>
long StoreConnection::OnSubKey(RegHandle key, const char* subKey, Use use, bool create, const char* keyClass,
                               Body&& body) {
    return OnKey(key, use, [&](const OpenHandle& open) {
        std::int64_t id = 0;
        bool created = false;
        const long code = Walk(open.id, subKey, create, keyClass, id, created);
        return code == reg::Success ? body(id, created) : code;
    });
}

long StoreConnection::Resolve(RegHandle key, OpenHandle& open) {
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
    if (open.id == BatchWriter::NewKeyId) {
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

// Points the handles of a key a batch created at the key's row (0: the key was never written).
void StoreConnection::NewKeyWritten(std::int64_t id, const std::vector<RegHandle>& handles) {
    for (const RegHandle handle : handles) {
        if (const auto open = m_handles.find(handle);
            open != m_handles.end() && open->second.id == BatchWriter::NewKeyId) {
            open->second.id = id;
        }
    }
    if (id != 0) {
        SeenKey(id);
        m_created.Created(m_transaction, m_laterKey.parent, std::move(m_laterKey.fold), id);
    }
}

void StoreConnection::SeenKey(std::int64_t id) {
    if (m_keysSeenIn != m_transaction || m_keysSeen.size() >= RememberedKeysLimit) {
        m_keysSeen.clear();
        m_keysSeenIn = m_transaction;
    }
    m_keysSeen.insert(id);
}

long StoreConnection::Walk(std::int64_t from, const char* subKey, bool create, const char* keyClass, std::int64_t& id,
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
        const std::optional<CreatedKeys::Known> madeHere =
            m_batch.depth > 0 ? m_created.SubKey(m_transaction, id, fold) : std::nullopt;
        if (madeHere && madeHere->id) {
            id = *madeHere->id;
            SeenKey(id);
            continue;
        }
        const std::int64_t changes = sqlite3_total_changes64(m_db);
        const bool knownMissing =
            madeHere || (m_batch.depth > 0 && m_lastMissing.transaction == m_transaction &&
                         m_lastMissing.changes == changes && m_lastMissing.parent == id && m_lastMissing.fold == fold);
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
        m_writer->Touch(id, m_batch.depth > 0);
        created = true;
        if (m_batch.depth > 0 && path.empty()) {
            // The key a batch is about to fill: written when its values are.
            m_writer->CreateLater(id, name, fold, NameOf(keyClass));
            m_laterKey = {id, std::move(fold)};
            id = BatchWriter::NewKeyId;
            break;
        }
        const std::int64_t parent = id;
        id = m_writer->InsertKey(parent, name, fold, NameOf(keyClass));
        SeenKey(id);
        if (m_batch.depth > 0) {
            m_created.Created(m_transaction, parent, std::move(fold), id);
        }
    }
    return reg::Success;
}

RegHandle StoreConnection::NewHandle(std::int64_t id, std::uint32_t access) {
    const RegHandle handle = m_nextHandle++;
    m_handles[handle] = {id, access};
    if (id == BatchWriter::NewKeyId) {
        m_writer->AddNewKeyHandle(handle);
    }
    return handle;
}

long StoreConnection::OpenKeyEx(RegHandle key, const char* subKey, std::uint32_t, std::uint32_t access,
                                RegHandle* result) {
    if (result == nullptr) {
        return reg::InvalidParameter;
    }
    return OnSubKey(key, subKey, Use::Read, false, nullptr, [&](std::int64_t id, bool) {
        *result = NewHandle(id, access);
        return reg::Success;
    });
}

long StoreConnection::CreateKeyEx(RegHandle key, const char* subKey, const char* keyClass, std::uint32_t,
                                  std::uint32_t access, RegHandle* result, std::uint32_t* disposition) {
    if (result == nullptr) {
        return reg::InvalidParameter;
    }
    return OnSubKey(key, subKey, Use::Change, true, keyClass, [&](std::int64_t id, bool created) {
        *result = NewHandle(id, access);
        Put(disposition, created ? CreatedNewKey : OpenedExistingKey);
        return reg::Success;
    });
}

long StoreConnection::CloseKey(RegHandle key) {
    const RegHandle firstRoot = reg::HiveHandle(reg::ClassesRoot);
    if (key >= firstRoot && key < firstRoot + RootCount) {
        return reg::Success;
    }
    return m_handles.erase(key) == 1 ? reg::Success : reg::InvalidHandle;
}

long StoreConnection::DeleteKey(RegHandle key, const char* subKey) {
    return OnSubKey(key, subKey, Use::Change, false, nullptr, [&](std::int64_t id, bool) {
        if (id <= RootCount || m_sql->hasChildren.Bind(id).Step()) {
            return reg::AccessDenied;
        }
        m_writer->WriteUnwritten();
        m_sql->parentOf.Bind(id).Step();
        const std::int64_t parent = m_sql->parentOf.Int(0);
        m_sql->deleteKey.Bind(id).Run();
        m_sql->deleteAllSpread.Bind(id).Run();
        m_keysSeen.erase(id);
        m_lastParent = {};
        m_created.Forget();
        m_writer->Touch(parent, m_batch.depth > 0);
        return reg::Success;
    });
}

long StoreConnection::QueryValueEx(RegHandle key, const char* valueName, std::uint32_t* type, unsigned char* data,
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

long StoreConnection::SetValueEx(RegHandle key, const char* valueName, std::uint32_t type, const unsigned char* data,
                                 std::uint32_t size) {
    if (data == nullptr && size > 0) {
        return reg::InvalidParameter;
    }
    return OnKey(key, Use::SetValues, [&](const OpenHandle& open) {
        const std::string_view bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size);
        return m_writer->ChangeValue(open.id, NameOf(valueName), BatchWriter::NewValue{type, bytes}, m_batch.depth > 0);
    });
}

long StoreConnection::DeleteValue(RegHandle key, const char* valueName) {
    return OnKey(key, Use::SetValues, [&](const OpenHandle& open) {
        return m_writer->ChangeValue(open.id, NameOf(valueName), std::nullopt, m_batch.depth > 0);
    });
}

long StoreConnection::QueryInfoKey(RegHandle key, char* keyClass, std::uint32_t* classLength, std::uint32_t* subKeys,
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
            m_writer->WriteUnwritten();
            m_writer->StampTouched();
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

long StoreConnection::EnumValue(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                                std::uint32_t* type, unsigned char* data, std::uint32_t* size) {
    if (name == nullptr || nameLength == nullptr) {
        return reg::InvalidParameter;
    }
    return OnKey(key, Use::Read, [&](const OpenHandle& open) {
        const ValueList& values = Values(open.id);
        if (index >= values.Size()) {
            m_listings.ValuesEnded(open.id);
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

RegistryApi::VisitedValues StoreConnection::VisitValues(RegHandle key, std::uint32_t dataCapacity,
                                                        const RegistryApi::ValueVisitor& visit) {
    RegistryApi::VisitedValues visited;
    OnKey(key, Use::Read, [&](const OpenHandle& open) {
        bool stopped = false;
        const auto fits = [&](const ValueList::Value& value) {
            stopped = value.data.size() > dataCapacity;
            if (!stopped) {
                visit(value.name, value.type, value.data);
            }
            return !stopped;
        };
        // Values a listing brought are read once, straight from its blob: they need no list of their own.
        m_writer->WriteUnwritten();
        CheckListings();
        if (const std::optional<std::string_view> blob = m_listings.TakeListedValues(open.id)) {
            if (const std::optional<std::size_t> count = ValueList::VisitBlob(*blob, fits)) {
                visited.count = static_cast<std::uint32_t>(*count);
                visited.all = !stopped;
                return reg::Success;
            }
        }
        const ValueList& values = Values(open.id);
        for (; visited.count < values.Size(); ++visited.count) {
            if (!fits(values[visited.count])) {
                return reg::Success;
            }
        }
        visited.all = true;
        m_listings.ValuesEnded(open.id);
        return reg::Success;
    });
    return visited;
}

long StoreConnection::EnumKey(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameBufferLength) {
    if (name == nullptr) {
        return reg::InvalidParameter;
    }
    return OnKey(key, Use::Read, [&](const OpenHandle& open) {
        const std::vector<ListingCache::SubKey>& subKeys = SubKeys(open.id);
        if (index >= subKeys.size()) {
            m_listings.SubKeysEnded(open.id);
            return reg::NoMoreItems;
        }
        return CopyName(subKeys[index].name, name, nameBufferLength);
    });
}

// Drops the cached enumerations when the database is no longer the one they were read from.
void StoreConnection::CheckListings() {
    ListingCache::DatabaseState now{m_transaction, -1, sqlite3_total_changes64(m_db)};
    if (m_batch.depth == 0) {
        // Alone, every call is a transaction of its own; other connections' commits show in the version.
        now.transaction = 0;
        m_sql->dataVersion.Bind().Step();
        now.othersVersion = m_sql->dataVersion.Int(0);
    }
    m_listings.Check(now);
}

const std::vector<ListingCache::SubKey>& StoreConnection::SubKeys(std::int64_t id) {
    CheckListings();
    return m_listings.SubKeys(id, [&](const auto& add) {
        const auto limit = static_cast<std::int64_t>(ListingCache::ListedValuesLimit);
        for (SqlStatement& row = m_sql->subKeys.Bind(id, limit); row.Step();) {
            add(row.Bytes(0), row.Int(1), row.Int(2) != 0,
                row.Int(3) != 0 ? std::optional<std::string_view>(row.Bytes(4)) : std::nullopt);
        }
    });
}

std::optional<std::int64_t> StoreConnection::ListedSubKey(std::int64_t parent, std::string_view fold) {
    CheckListings();
    return m_listings.ListedSubKey(parent, fold);
}

const ValueList& StoreConnection::Values(std::int64_t id) {
    m_writer->WriteUnwritten();
    CheckListings();
    return m_listings.Values(id, [&] { return m_writer->ReadValues(id); });
}

}  // namespace vor::store
