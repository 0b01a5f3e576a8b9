#include "TableFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <memory>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AtomicFile.h"
#include "RecordSetData.h"

namespace {

// Marks the files this program writes ("TRVO"); loading does not insist on
// it, so a table made by hand with the same layout still opens.
constexpr int ApplicationId = 0x5452564F;

// How long a load waits for another program's write lock before it gives up.
constexpr int BusyTimeoutMs = 500;

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
bool ParseDeclaredType(const char *decl, TFieldDef &f) {
  std::string t;
  for (const char *p = decl ? decl : ""; *p; ++p)
    if (*p != ' ' && *p != '\t') t += char(std::toupper(static_cast<unsigned char>(*p)));
  if (t == "INTEGER") return f.DataType = ftInteger, f.Size = 0, true;
  if (t == "FLOAT") return f.DataType = ftFloat, f.Size = 0, true;
  if (t == "BOOLEAN") return f.DataType = ftBoolean, f.Size = 0, true;
  if (t.size() < 7 || t.compare(0, 5, "TEXT(") != 0 || t.back() != ')') return false;
  const std::string digits = t.substr(5, t.size() - 6);
  if (digits.empty() || digits.size() > 8) return false;
  long n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > MaxStringFieldSize) return false;
  f.DataType = ftString;
  f.Size = int(n);
  return true;
}

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

// ------------------------------------------------------------------ load

class TLoader {
 public:
  explicit TLoader(const std::string &path) : FPath(path) {}
  TRecordSet Run();

 private:
  [[noreturn]] void Fail(const std::string &reason) { throw ETableFile(false, FPath, reason); }
  [[noreturn]] void FailSql(int rc) { Fail(SqliteReason(FDb.Db, rc)); }
  void CheckFile();
  std::string TableName();
  void ReadCell(TRecordSet::TData &d, TRecordSet::TRow &row, sqlite3_stmt *st, int f, long rowNo);

  std::string FPath;
  bool FWal = false;
  TDb FDb;
};

// Looks at the file before SQLite does, so the common failures get a precise
// reason and a file that is not a database is refused without SQLite ever
// treating it as one.
void TLoader::CheckFile() {
  struct stat st {};
  if (::stat(FPath.c_str(), &st) != 0) Fail(ErrnoReason(errno));
  if (S_ISDIR(st.st_mode)) Fail(ErrnoReason(EISDIR));
  if (!S_ISREG(st.st_mode)) Fail("nu este un fisier obisnuit");
  const int fd = ::open(FPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail(ErrnoReason(errno));
  char head[100];
  ssize_t got = 0;
  while (got < ssize_t(sizeof head)) {
    const ssize_t n = ::read(fd, head + got, sizeof head - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += n;
  }
  const int readErr = got < 0 ? errno : 0;
  ::close(fd);
  if (readErr) Fail(ErrnoReason(readErr));
  if (st.st_size == 0 || got == 0) Fail("fisierul este gol");
  if (got < ssize_t(sizeof head) || std::memcmp(head, "SQLite format 3", 16) != 0)
    Fail("nu este un fisier de tabel");
  // Bytes 18 and 19 are the read and write format: 2 means write-ahead log.
  // This program never writes such files, but another tool may have
  // converted one. Reading one normally would create -wal and -shm files
  // beside it, so it is read as an unchanging file instead; while its log
  // exists another program is using it (or crashed with changes in it).
  FWal = head[18] == 2 || head[19] == 2;
  struct stat wal {};
  if (FWal && ::lstat((FPath + "-wal").c_str(), &wal) == 0)
    Fail("fisierul este folosit de alt program (exista " + FPath + "-wal)");
}

// The file name as an SQLite URI, for opening with query parameters.
std::string FileUri(const std::string &path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (unsigned char c : path) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' || c == '-' ||
        c == '_' || c == '.' || c == '~') {
      uri += char(c);
    } else {
      uri += '%';
      uri += hex[c >> 4];
      uri += hex[c & 15];
    }
  }
  return uri;
}

std::string TLoader::TableName() {
  TStmt q;
  int rc = sqlite3_prepare_v2(FDb.Db,
                              "SELECT name FROM sqlite_schema WHERE type = 'table' "
                              "AND name NOT LIKE 'sqlite!_%' ESCAPE '!'",
                              -1, &q.St, nullptr);
  if (rc != SQLITE_OK) FailSql(rc);
  std::string name;
  int count = 0;
  while ((rc = sqlite3_step(q.St)) == SQLITE_ROW) {
    const unsigned char *n = sqlite3_column_text(q.St, 0);
    name = n ? reinterpret_cast<const char *>(n) : "";
    ++count;
  }
  if (rc != SQLITE_DONE) FailSql(rc);
  if (count == 0) Fail("nu este un fisier de tabel (nu contine niciun tabel)");
  if (count > 1) Fail("nu este un fisier de tabel (contine mai multe tabele)");
  return name;
}

void TLoader::ReadCell(TRecordSet::TData &d, TRecordSet::TRow &row, sqlite3_stmt *st, int f, long rowNo) {
  const int kind = sqlite3_column_type(st, f);
  if (kind == SQLITE_NULL) return;  // rows start empty
  const TFieldDef &def = d.Fields[f];
  TNum num;
  auto misfit = [&]() {
    Fail("valoare nepotrivita in campul " + def.Name + ", randul " + std::to_string(rowNo));
  };
  switch (def.DataType) {
    case ftInteger: {
      if (kind != SQLITE_INTEGER) misfit();
      const sqlite3_int64 v = sqlite3_column_int64(st, f);
      if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) misfit();
      num.I = v;
      break;
    }
    case ftFloat: {
      if (kind != SQLITE_INTEGER && kind != SQLITE_FLOAT) misfit();
      const double v = sqlite3_column_double(st, f);
      if (!std::isfinite(v)) misfit();
      num.F = v;
      break;
    }
    case ftBoolean: {
      if (kind != SQLITE_INTEGER) misfit();
      const sqlite3_int64 v = sqlite3_column_int64(st, f);
      if (v != 0 && v != 1) misfit();
      num.I = v;
      break;
    }
    case ftString: {
      if (kind != SQLITE_TEXT && kind != SQLITE_BLOB) misfit();
      // Blob access returns the stored bytes without any text conversion.
      const void *p = sqlite3_column_blob(st, f);
      const int n = sqlite3_column_bytes(st, f);
      if (n > 0 && p) d.PutText(row, d.Slot[f], std::string_view(static_cast<const char *>(p), std::min(n, def.Size)));
      d.MarkSet(row, f, true);
      return;
    }
  }
  d.PutNum(row, d.Slot[f], num);
  d.MarkSet(row, f, true);
}

TRecordSet TLoader::Run() {
  CheckFile();
  // Read-only: SQLite must never create, repair or journal a file it loads.
  // Each connection lives on one thread only, so SQLite's per-call locking
  // (a sixth of the load time) is turned off.
  int rc = FWal ? sqlite3_open_v2((FileUri(FPath) + "?immutable=1").c_str(), &FDb.Db,
                                  SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr)
               : sqlite3_open_v2(FPath.c_str(), &FDb.Db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) FailSql(rc);
  sqlite3_extended_result_codes(FDb.Db, 1);
  sqlite3_busy_timeout(FDb.Db, BusyTimeoutMs);
  // The file may come from anywhere: no schema code runs on its behalf.
  sqlite3_db_config(FDb.Db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(FDb.Db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_exec(FDb.Db, "PRAGMA query_only = 1", nullptr, nullptr, nullptr);

  // One read transaction, so a writer cannot slip in between the schema and
  // the rows.
  rc = sqlite3_exec(FDb.Db, "BEGIN", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) FailSql(rc);
  const std::string table = TableName();

  TStmt sel;
  rc = sqlite3_prepare_v2(FDb.Db, ("SELECT * FROM " + Quote(table) + " ORDER BY rowid").c_str(), -1,
                          &sel.St, nullptr);
  if (rc != SQLITE_OK) FailSql(rc);
  const int cols = sqlite3_column_count(sel.St);
  if (cols == 0) Fail("nu este un fisier de tabel (tabelul nu are campuri)");
  std::vector<TFieldDef> fields;
  for (int c = 0; c < cols; ++c) {
    TFieldDef f;
    const char *name = sqlite3_column_name(sel.St, c);
    f.Name = name ? name : "";
    const char *decl = sqlite3_column_decltype(sel.St, c);
    if (!ParseDeclaredType(decl, f))
      Fail("campul " + f.Name + " are un tip necunoscut (" + std::string(decl ? decl : "") + ")");
    fields.push_back(std::move(f));
  }
  TRecordSet rs;
  try {
    rs = TRecordSet(std::move(fields));
  } catch (const ERecordSet &e) {
    Fail(e.what());
  }

  TRecordSet::TData &d = TRecordSetAccess::Data(rs);
  std::vector<TRecordSet::TRow> rows;
  long rowNo = 0;
  while ((rc = sqlite3_step(sel.St)) == SQLITE_ROW) {
    TRecordSet::TRow row = d.EmptyRow();
    ++rowNo;
    for (int c = 0; c < cols; ++c) ReadCell(d, row, sel.St, c, rowNo);
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) FailSql(rc);
  sel.Finalize();
  sqlite3_exec(FDb.Db, "COMMIT", nullptr, nullptr, nullptr);

  d.AssignRows(std::move(rows));
  rs.First();
  return rs;
}

// ------------------------------------------------------------------ save

class TSaver {
 public:
  TSaver(const std::string &path, const TRecordSet &rs) : FPath(path), FSet(rs) {}
  ~TSaver();
  void Run();

 private:
  [[noreturn]] void Fail(const std::string &reason) { throw ETableFile(true, FPath, reason); }
  [[noreturn]] void FailSql(int rc) { Fail(SqliteReason(FDb.Db, rc)); }
  void Exec(const char *sql);
  void WriteTable();

  std::string FPath;
  const TRecordSet &FSet;
  std::unique_ptr<TAtomicReplace> FFile;
  TDb FDb;
};

TSaver::~TSaver() {
  // The database is closed before the replacement removes its file.
  if (FDb.Db) {
    sqlite3_close_v2(FDb.Db);
    FDb.Db = nullptr;
  }
}

void TSaver::Exec(const char *sql) {
  const int rc = sqlite3_exec(FDb.Db, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) FailSql(rc);
}

// The rows in the order Post would leave them. A row still being appended
// or edited is what the user sees on screen, so it is written as if posted
// (a dataset posts before it saves); the set itself stays as it is.
std::vector<const TRecordSet::TRow *> RowsToWrite(const TRecordSet::TData &d) {
  std::vector<const TRecordSet::TRow *> rows;
  rows.reserve(d.Rows.size() + 1);
  for (size_t k = 0; k < d.Rows.size(); ++k)
    if (!(d.State == dsEdit && k == size_t(d.Pos))) rows.push_back(&d.Rows[k]);
  if (d.State == dsBrowse) return rows;
  size_t at = rows.size();
  if (d.State == dsEdit && d.Key(d.Pending) == d.Key(d.Rows[d.Pos])) {
    at = size_t(d.Pos);  // an unchanged code keeps the row in its place
  } else if (d.CodField >= 0) {
    const auto key = d.Key(d.Pending);
    at = size_t(std::upper_bound(rows.begin(), rows.end(), key,
                                 [&d](const std::pair<bool, double> &k, const TRecordSet::TRow *r) {
                                   return k < d.Key(*r);
                                 }) - rows.begin());
  }
  rows.insert(rows.begin() + std::ptrdiff_t(at), &d.Pending);
  return rows;
}

void TSaver::WriteTable() {
  const TRecordSet::TData &d = TRecordSetAccess::Data(FSet);
  if (d.Fields.empty()) Fail("tabelul nu are campuri");
  const size_t slash = FPath.find_last_of('/');
  std::string table = FPath.substr(slash == std::string::npos ? 0 : slash + 1);
  if (const size_t dot = table.find_last_of('.'); dot != std::string::npos) table.resize(dot);
  if (table.empty()) table = "tabel";

  std::string create = "CREATE TABLE " + Quote(table) + " (";
  std::string insert = "INSERT INTO " + Quote(table) + " VALUES (";
  for (size_t f = 0; f < d.Fields.size(); ++f) {
    create += (f ? ", " : "") + Quote(d.Fields[f].Name) + " " + DeclaredType(d.Fields[f]);
    insert += f ? ", ?" : "?";
  }
  create += ")";
  insert += ")";

  Exec("BEGIN");
  Exec(create.c_str());
  TStmt ins;
  int rc = sqlite3_prepare_v2(FDb.Db, insert.c_str(), -1, &ins.St, nullptr);
  if (rc != SQLITE_OK) FailSql(rc);
  for (const TRecordSet::TRow *rowp : RowsToWrite(d)) {
    const TRecordSet::TRow &row = *rowp;
    for (size_t f = 0; f < d.Fields.size(); ++f) {
      const int p = int(f) + 1;
      const bool set = d.IsSet(row, int(f));
      const TNum num = set && d.Fields[f].DataType != ftString ? d.Num(row, d.Slot[f]) : TNum{};
      if (!set) {
        rc = sqlite3_bind_null(ins.St, p);
      } else {
        switch (d.Fields[f].DataType) {
          case ftInteger:
          case ftBoolean: rc = sqlite3_bind_int64(ins.St, p, num.I); break;
          case ftFloat: rc = sqlite3_bind_double(ins.St, p, num.F); break;
          case ftString: {
            // A blob keeps every byte, 0x00 included; an empty text stays
            // an empty value distinct from NULL.
            const std::string_view t = d.Text(row, d.Slot[f]);
            rc = sqlite3_bind_blob(ins.St, p, t.empty() ? "" : t.data(), int(t.size()), SQLITE_STATIC);
            break;
          }
        }
      }
      if (rc != SQLITE_OK) FailSql(rc);
    }
    rc = sqlite3_step(ins.St);
    if (rc != SQLITE_DONE) FailSql(rc);
    sqlite3_reset(ins.St);
  }
  ins.Finalize();
  Exec("COMMIT");
}

void TSaver::Run() {
  try {
    FFile = std::make_unique<TAtomicReplace>(FPath);
  } catch (const EFileWrite &e) {
    Fail(e.Reason());
  }
  const std::string &temp = FFile->TempPath();
  int rc = sqlite3_open_v2(temp.c_str(), &FDb.Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) FailSql(rc);
  sqlite3_extended_result_codes(FDb.Db, 1);
  // Nobody else knows the temporary file and it is thrown away on any
  // failure, so a journal would buy nothing; durability comes from the
  // fsync and rename of the replacement.
  Exec("PRAGMA journal_mode = OFF");
  Exec("PRAGMA synchronous = OFF");
  Exec("PRAGMA locking_mode = EXCLUSIVE");
  Exec(("PRAGMA application_id = " + std::to_string(ApplicationId)).c_str());
  WriteTable();
  rc = sqlite3_close(FDb.Db);
  FDb.Db = nullptr;
  if (rc != SQLITE_OK) Fail(SqliteReason(nullptr, rc));
  try {
    FFile->Commit();
  } catch (const EFileWrite &e) {
    Fail(e.Reason());
  }
}

}  // namespace

ETableFile::ETableFile(bool saving, std::string path, std::string reason)
    : std::runtime_error((saving ? "Nu pot salva fisierul " : "Nu pot citi fisierul ") + path + ": " + reason),
      FSaving(saving),
      FPath(std::move(path)),
      FReason(std::move(reason)) {}

TRecordSet LoadTableFile(const std::string &path) { return TLoader(path).Run(); }

void SaveTableFile(const std::string &path, const TRecordSet &rs) {
  TSaver saver(path, rs);
  saver.Run();
}

void SetTableSaveHook(std::function<void(const std::string &tempPath)> hook) {
  SetAtomicReplaceHook(std::move(hook));
}
