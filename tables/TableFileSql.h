// What the loader and the saver of table files share: the SQLite handles
// that close themselves, the marks this program writes into every file, and
// the words for SQLite's failures.
#pragma once

#include <cstdint>
#include <sqlite3.h>
#include <string>

#include "RecordSet.h"

namespace TableSql {

// Marks the files this program writes ("TRVO"); loading does not insist on
// it, so a table made by hand with the same layout still opens.
constexpr int ApplicationId = 0x5452564F;
// The layout of the files this program writes, in their user_version. A
// later program that changes what a file means raises it, and this one then
// refuses the file rather than read it wrongly and save it over.
constexpr uint32_t FormatVersion = 1;

// Why an SQLite call failed, in the words the program shows the user, with
// SQLite's own text in brackets.
std::string SqliteReason(sqlite3 *db, int rc);
// A name as an SQL identifier.
std::string Quote(const std::string &name);
// The declared column type that carries a field's type and size
// ("INTEGER", "TEXT(50)", "FLOAT", "BOOLEAN").
std::string DeclaredType(const TFieldDef &f);

struct TDb {
  sqlite3 *Db = nullptr;
  TDb() = default;
  TDb(const TDb &) = delete;
  TDb &operator=(const TDb &) = delete;
  ~TDb() {
    if (Db) sqlite3_close_v2(Db);
  }
};

struct TStmt {
  sqlite3_stmt *St = nullptr;
  TStmt() = default;
  TStmt(const TStmt &) = delete;
  TStmt &operator=(const TStmt &) = delete;
  ~TStmt() { Finalize(); }
  // Statements must be gone before the connection closes, or close fails.
  void Finalize() {
    if (St) sqlite3_finalize(St);
    St = nullptr;
  }
};

}  // namespace TableSql
