#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace vor::store {

// One prepared SQLite statement, prepared once and reset after each use. Every SQLite failure is
// thrown as SqlFailure, so the store can turn any of them into one result code at its boundary.
class SqlStatement {
public:
    struct SqlFailure {
        int code;
    };

    // The statements bound since the last ResetUsed: a call ends by resetting only those, not every
    // statement it might have used.
    class Tracker {
    public:
        void ResetUsed();

    private:
        friend class SqlStatement;
        std::vector<SqlStatement*> m_used;
    };

    SqlStatement(sqlite3* db, std::string_view sql, Tracker* tracker = nullptr);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // Binds parameters 1, 2, ... in order (every parameter, so no earlier binding survives) and drops
    // earlier results. Bytes are bound without a copy: they must outlive the steps of this use.
    template <typename... Args>
    SqlStatement& Bind(const Args&... args) {
        Reset();
        Track();
        return BindFrom(1, args...);
    }
    // Binds parameters first, first + 1, ... of a statement Bind began, for statements of many rows.
    template <typename... Args>
    SqlStatement& BindFrom(int first, const Args&... args) {
        int index = first;
        (BindOne(index++, args), ...);
        return *this;
    }

    // Steps once; true while a row is available.
    bool Step();
    // Runs to completion.
    void Run();

    // Ends the statement's use, so it holds no snapshot of the database past the transaction.
    void Reset();

    std::int64_t Int(int column) const;
    // Blob or text bytes of a column; empty for NULL.
    std::string_view Bytes(int column) const;

private:
    void Track();
    void BindOne(int index, std::int64_t value);
    void BindOne(int index, std::string_view bytes);

    sqlite3_stmt* m_statement = nullptr;
    Tracker* m_tracker = nullptr;
    bool m_tracked = false;
};

// Runs SQL text without results; throws SqlFailure.
void ExecSql(sqlite3* db, const char* sql);

}  // namespace vor::store
