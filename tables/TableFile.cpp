#include "TableFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

#include "AtomicFile.h"
#include "RecordSetData.h"
#include "TableFileSql.h"

using namespace TableSql;

namespace {

// How long a load waits for another program's write lock before it gives up.
constexpr int BusyTimeoutMs = 500;

uint32_t BigEndian32(const char *p) {
  const auto *b = reinterpret_cast<const unsigned char *>(p);
  return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
}

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

class TLoader {
 public:
  explicit TLoader(const std::string &path) : FPath(path) {}
  TRecordSet Run();

 private:
  [[noreturn]] void Fail(const std::string &reason) { throw ETableFile(false, FPath, reason); }
  [[noreturn]] void FailSql(int rc) { Fail(SqliteReason(FDb.Db, rc)); }
  void CheckFile();
  void CheckHeader(const char *head, off_t size);
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
  CheckHeader(head, st.st_size);
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

// What the header says of the file as a whole. SQLite reads a file cut
// short as far as it goes and may find nothing wrong with what is left;
// the header's page count (valid when its change counter is repeated at
// offset 92) tells how long the file must be.
void TLoader::CheckHeader(const char *head, off_t size) {
  const uint32_t applicationId = BigEndian32(head + 68);
  if (applicationId != 0 && applicationId != uint32_t(ApplicationId))
    Fail("nu este un fisier de tabel al acestui program");
  const uint32_t version = BigEndian32(head + 60);
  if (applicationId == uint32_t(ApplicationId) && version > FormatVersion)
    Fail("a fost scris de o versiune mai noua a programului (formatul " + std::to_string(version) +
         "), pe care aceasta nu o cunoaste");
  const unsigned pageSize = (unsigned char)head[16] << 8 | (unsigned char)head[17];
  const uint64_t pages = BigEndian32(head + 28);
  const uint64_t bytes = (pageSize == 1 ? 65536u : pageSize) * pages;
  if (pages > 0 && BigEndian32(head + 92) == BigEndian32(head + 24) && uint64_t(size) < bytes)
    Fail("fisierul este trunchiat (are " + std::to_string(size) + " octeti din " + std::to_string(bytes) + ")");
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
      // Cutting it would lose the rest with the next save.
      if (n > def.Size)
        Fail("textul din campul " + def.Name + ", randul " + std::to_string(rowNo) + ", are " + std::to_string(n) +
             " caractere, campul cel mult " + std::to_string(def.Size));
      if (n > 0 && p) d.PutText(row, d.Slot[f], std::string_view(static_cast<const char *>(p), size_t(n)));
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

}  // namespace

ETableFile::ETableFile(bool saving, std::string path, std::string reason)
    : std::runtime_error((saving ? "Nu pot salva fisierul " : "Nu pot citi fisierul ") + path + ": " + reason),
      FSaving(saving),
      FPath(std::move(path)),
      FReason(std::move(reason)) {}

TRecordSet LoadTableFile(const std::string &path) { return TLoader(path).Run(); }
