#include "vormotor/regstore/SqlStatement.h"

#include <sqlite3.h>

namespace vor::store {

namespace {
void Check(int code) {
    if (code != SQLITE_OK) {
        throw SqlStatement::SqlFailure{code};
    }
}
}  // namespace

void SqlStatement::Tracker::ResetUsed() {
    for (SqlStatement* statement : m_used) {
        statement->Reset();
        statement->m_tracked = false;
    }
    m_used.clear();
}

SqlStatement::SqlStatement(sqlite3* db, std::string_view sql, Tracker* tracker) : m_tracker(tracker) {
    Check(sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &m_statement,
                             nullptr));
}

SqlStatement::~SqlStatement() {
    sqlite3_finalize(m_statement);
}

void SqlStatement::Reset() {
    sqlite3_reset(m_statement);
}

void SqlStatement::Track() {
    if (m_tracker != nullptr && !m_tracked) {
        m_tracker->m_used.push_back(this);
        m_tracked = true;
    }
}

void SqlStatement::BindOne(int index, std::int64_t value) {
    Check(sqlite3_bind_int64(m_statement, index, value));
}

void SqlStatement::BindOne(int index, std::string_view bytes) {
    // A null pointer would bind NULL; an empty name or value must stay an empty blob. SQLite reads the
    // bytes only while stepping, and every use binds anew before it steps.
    Check(sqlite3_bind_blob64(m_statement, index, bytes.empty() ? "" : bytes.data(), bytes.size(), SQLITE_STATIC));
}

bool SqlStatement::Step() {
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(m_statement);
    throw SqlFailure{code};
}

void SqlStatement::Run() {
    while (Step()) {
    }
}

std::int64_t SqlStatement::Int(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

std::string_view SqlStatement::Bytes(int column) const {
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return data == nullptr ? std::string_view() : std::string_view(static_cast<const char*>(data), size);
}

void ExecSql(sqlite3* db, const char* sql) {
    Check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr));
}

}  // namespace vor::store
