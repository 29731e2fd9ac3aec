#include "vormotor/regstore/StoreSchema.h"

#include <sqlite3.h>
#include <thread>

#include "vormotor/regstore/SqlStatement.h"
#include "vormotor/regstore/ValueList.h"

namespace vor::store::store_schema {

namespace {

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

}  // namespace

bool IsBusy(int code) {
    return (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED;
}

void ExecPatiently(sqlite3* db, const char* sql, std::chrono::milliseconds busyTime) {
    Patiently(db, busyTime, [&] { ExecSql(db, sql); });
}

std::int64_t PragmaValue(sqlite3* db, const char* sql) {
    SqlStatement pragma(db, sql);
    return pragma.Step() ? pragma.Int(0) : 0;
}

std::string PragmaText(sqlite3* db, const char* sql) {
    SqlStatement pragma(db, sql);
    return pragma.Step() ? std::string(pragma.Bytes(0)) : std::string();
}

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

}  // namespace vor::store::store_schema
