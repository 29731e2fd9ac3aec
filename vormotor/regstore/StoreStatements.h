#pragma once

#include "vormotor/regstore/SqlStatement.h"

struct sqlite3;

namespace vor::store {

// The prepared statements of one store connection, made once when the store opens.
struct StoreStatements {
    // The statements a call used; declared first, as the statements report to it.
    SqlStatement::Tracker used;

    explicit StoreStatements(sqlite3* db)
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
                  "SELECT name, id, EXISTS(SELECT 1 FROM keys AS sub WHERE sub.parent = keys.id), "
                  "spread = 0 AND length(vals) <= ?2, CASE WHEN spread = 0 AND length(vals) <= ?2 THEN vals END "
                  "FROM keys WHERE parent = ?1 ORDER BY fold",
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

}  // namespace vor::store
