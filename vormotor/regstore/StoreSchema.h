#pragma once

#include <chrono>
#include <cstdint>
#include <string>

struct sqlite3;

namespace vor::store::store_schema {

// Stores whose schema is complete say so in their header, so opening one needs no write lock.
// Version 1 kept a row per value; version 2 keeps a key's values in the key's row; version 3 keeps the
// values of large keys a row each (see SpreadAbove in RegStore.cpp).
inline constexpr std::int64_t SchemaVersion = 3;
// How long a busy store is left alone before the next try.
inline constexpr std::chrono::milliseconds RetryPause{2};

// Whether an SQLite result code says another connection holds the store.
bool IsBusy(int code);

// Runs sql, trying again while another process holds the store, at most busyTime.
void ExecPatiently(sqlite3* db, const char* sql, std::chrono::milliseconds busyTime);

// What a pragma answers first, as a number or as text; 0 or empty when it answers nothing.
std::int64_t PragmaValue(sqlite3* db, const char* sql);
std::string PragmaText(sqlite3* db, const char* sql);

// Makes the schema of a new store or upgrades an older one, whichever the store needs once this
// process holds the write lock: another process may have done it meanwhile.
void PrepareSchema(sqlite3* db, std::chrono::milliseconds busyTime);

}  // namespace vor::store::store_schema
