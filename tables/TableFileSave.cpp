#include "TableFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

#include "AtomicFile.h"
#include "RecordSetData.h"
#include "TableFileSql.h"

using namespace TableSql;

namespace {

class TSaver {
 public:
  TSaver(const std::string &path, const TRecordSet &rs) : FPath(path), FSet(rs) {}
  ~TSaver();
  // Writes the whole table under its temporary name and syncs it.
  void Prepare();
  // Renames it into place.
  void Commit();

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

void TSaver::Prepare() {
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
  Exec(("PRAGMA user_version = " + std::to_string(FormatVersion)).c_str());
  WriteTable();
  rc = sqlite3_close(FDb.Db);
  FDb.Db = nullptr;
  if (rc != SQLITE_OK) Fail(SqliteReason(nullptr, rc));
  try {
    FFile->Finish();
  } catch (const EFileWrite &e) {
    Fail(e.Reason());
  }
}

void TSaver::Commit() {
  try {
    FFile->Commit();
  } catch (const EFileWrite &e) {
    Fail(e.Reason());
  }
}

// Keeps the renames of two programs saving files of one directory apart,
// so files saved together land together (the last save wins whole). The
// lock is the directory's own, taken only for the renames: nothing is
// created for it, which a full or read-only disk would refuse. A directory
// locked for longer (a work directory of the online mode, which takes the
// same lock) is waited for a moment, then the renames go on unguarded.
class TRenameLock {
 public:
  explicit TRenameLock(const std::string &file) {
    const size_t slash = file.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : file.substr(0, slash));
    FFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int tries = 0; FFd >= 0 && ::flock(FFd, LOCK_EX | LOCK_NB) != 0; ++tries) {
      if ((errno != EWOULDBLOCK && errno != EINTR) || tries == 2000) {
        ::close(FFd);
        FFd = -1;
        break;
      }
      ::usleep(1000);
    }
  }
  ~TRenameLock() {
    if (FFd >= 0) ::close(FFd);
  }
  TRenameLock(const TRenameLock &) = delete;
  TRenameLock &operator=(const TRenameLock &) = delete;

 private:
  int FFd = -1;
};

}  // namespace

void SaveTableFile(const std::string &path, const TRecordSet &rs) { SaveTableFiles({{path, &rs}}); }

void SaveTableFiles(const std::vector<std::pair<std::string, const TRecordSet *>> &files) {
  std::vector<std::unique_ptr<TSaver>> savers;
  for (const auto &[path, rs] : files) {
    savers.push_back(std::make_unique<TSaver>(path, *rs));
    savers.back()->Prepare();
  }
  if (savers.size() == 1) {
    savers[0]->Commit();
    return;
  }
  TRenameLock lock(files.front().first);
  for (auto &s : savers) s->Commit();
}

void SetTableSaveHook(std::function<void(const std::string &tempPath)> hook) {
  SetAtomicReplaceHook(std::move(hook));
}
