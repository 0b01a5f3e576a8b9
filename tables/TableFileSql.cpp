#include "TableFileSql.h"

#include <cerrno>

namespace TableSql {

std::string SqliteReason(sqlite3 *db, int rc) {
  std::string why;
  // A write that hit the end of the disk (or of a quota or size limit)
  // comes back as a plain I/O error; the OS error tells it apart.
  const int sysErr = db ? sqlite3_system_errno(db) : 0;
  if ((rc & 0xFF) == SQLITE_IOERR && (sysErr == ENOSPC || sysErr == EDQUOT || sysErr == EFBIG)) rc = SQLITE_FULL;
  switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: why = "fisierul este blocat de alt program"; break;
    case SQLITE_NOTADB: why = "nu este un fisier de tabel"; break;
    case SQLITE_CORRUPT: why = "fisierul este deteriorat"; break;
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_READONLY:
      why = rc == SQLITE_READONLY_ROLLBACK
                // Another program stopped in the middle of writing; only a
                // writer may undo that, and a load never writes.
                ? "alt program a lasat o scriere neterminata in jurnalul fisierului"
                : "acces interzis";
      break;
    case SQLITE_FULL: why = "discul este plin"; break;
    case SQLITE_NOMEM: why = "memorie insuficienta"; break;
    case SQLITE_CANTOPEN: why = "fisierul nu poate fi deschis"; break;
    case SQLITE_IOERR: why = "eroare de citire sau scriere pe disc"; break;
    default: why = "eroare la accesul fisierului"; break;
  }
  const char *detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  if (detail && *detail) why += std::string(" (") + detail + ")";
  return why;
}

std::string Quote(const std::string &name) {
  std::string q = "\"";
  for (char c : name) {
    q += c;
    if (c == '"') q += '"';
  }
  return q + "\"";
}

std::string DeclaredType(const TFieldDef &f) {
  switch (f.DataType) {
    case ftInteger: return "INTEGER";
    case ftFloat: return "FLOAT";
    case ftBoolean: return "BOOLEAN";
    case ftString: return "TEXT(" + std::to_string(f.Size) + ")";
  }
  return "";
}

// Reads a declared column type back into a field type and size. Only the
// four forms DeclaredType writes are known; anything else is not ours to
// guess at.

}  // namespace TableSql
