#include <gtest/gtest.h>

#include <csignal>
#include <limits>
#include <sys/resource.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "ScratchDir.h"
#include "TableFile.h"

namespace {

TRecordSet Sample() {
  TRecordSet rs({{"Cod", ftInteger, 0}, {"Nume", ftString, 50}, {"Pret", ftFloat, 0},
                 {"Nou", ftBoolean, 0}, {"C", ftString, 1}});
  auto row = [&](TFieldValue cod, TFieldValue nume, TFieldValue pret, TFieldValue nou) {
    rs.Append();
    rs.SetValue("Cod", cod);
    rs.SetValue("Nume", nume);
    rs.SetValue("Pret", pret);
    rs.SetValue("Nou", nou);
    rs.Post();
  };
  row(2, std::string("\x00\xEA\xFF", 3), 0.1, true);
  row(std::numeric_limits<int32_t>::max(), std::string(50, 'z'), -2.5, false);
  row(1, std::string(), 99999999999999.0, {});  // empty text is a value, not NULL
  row(2, std::string("a doua cu 2"), {}, true);
  row(std::numeric_limits<int32_t>::min(), {}, 1e-300, false);
  row({}, std::string("fara cod"), 7.0, {});
  return rs;
}

void ExpectSameTable(TRecordSet &a, TRecordSet &b) {
  ASSERT_EQ(a.FieldDefs(), b.FieldDefs());
  ASSERT_EQ(a.RecordCount(), b.RecordCount());
  for (int r = 1; r <= a.RecordCount(); ++r)
    for (int f = 0; f < a.FieldCount(); ++f) EXPECT_EQ(a.ValueAt(r, f), b.ValueAt(r, f)) << "row " << r << " field " << f;
}

// Runs one SQL statement on a file with plain SQLite, to build files this
// program would not write.
void Sql(const std::string &path, const std::string &sql) {
  sqlite3 *db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char *err = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
  sqlite3_free(err);
  sqlite3_close(db);
}

void ExpectLoadFails(const TScratchDir &dir, const std::string &path, const std::string &reasonPart) {
  const std::string before = ReadFileBytes(path);
  const auto entries = dir.Entries();
  try {
    LoadTableFile(path);
    ADD_FAILURE() << "loaded " << path;
  } catch (const ETableFile &e) {
    const std::string msg = e.what();
    EXPECT_EQ(msg.rfind("Nu pot citi fisierul " + path + ": ", 0), 0u) << msg;
    EXPECT_NE(e.Reason().find(reasonPart), std::string::npos) << msg;
    EXPECT_FALSE(e.Saving());
  }
  EXPECT_EQ(ReadFileBytes(path), before) << "the file was changed";
  EXPECT_EQ(dir.Entries(), entries) << "a journal or other file was left";
}

}  // namespace

TEST(TableFile, RoundTripKeepsFieldsTypesSizesValuesNullsAndOrder) {
  TScratchDir dir;
  TRecordSet rs = Sample();
  rs.SetRecNo(3);
  SaveTableFile(dir.File("T.cds"), rs);
  EXPECT_EQ(rs.RecNo(), 3);  // saving leaves the set as it was

  TRecordSet back = LoadTableFile(dir.File("T.cds"));
  ExpectSameTable(rs, back);
  EXPECT_EQ(back.RecNo(), 1);
  back.SetRecNo(4);  // codes: -, MIN, 1, 2, 2, MAX: the two 2s keep their order
  EXPECT_EQ(back.AsString("Nume"), std::string("\x00\xEA\xFF", 3));
  back.Next();
  EXPECT_EQ(back.AsString("Nume"), "a doua cu 2");
  EXPECT_TRUE(back.IsNull("Pret"));
  back.SetRecNo(3);
  EXPECT_FALSE(back.IsNull("Nume"));
  EXPECT_TRUE(back.IsNull("Nou"));
  EXPECT_TRUE(back.IsNull("C"));

  // Saving what was loaded gives the same table again; a set without Cod
  // keeps its own row order through the file too.
  SaveTableFile(dir.File("T.cds"), back);
  TRecordSet again = LoadTableFile(dir.File("T.cds"));
  ExpectSameTable(back, again);

  TRecordSet settings({{"Port", ftInteger, 0}, {"Baud", ftInteger, 0}});
  for (int p : {9, 2, 5}) {
    settings.Append();
    settings.SetInteger("Port", p);
    settings.Post();
  }
  SaveTableFile(dir.File("setari.cds"), settings);
  TRecordSet s2 = LoadTableFile(dir.File("setari.cds"));
  ExpectSameTable(settings, s2);
  EXPECT_EQ(dir.Entries().size(), 2u);  // no temporary or journal files
}

TEST(TableFile, PendingRowIsSavedAsPostWouldStoreItAndStaysPending) {
  TScratchDir dir;
  const std::string p = dir.File("T.cds");
  TRecordSet rs = Sample();
  auto savedTags = [&] {
    std::vector<std::string> out;
    TRecordSet back = LoadTableFile(p);
    for (back.First(); !back.Eof(); back.Next()) out.push_back(back.AsString("Cod") + "/" + back.AsString("C"));
    return out;
  };
  ASSERT_TRUE(rs.FindKey(1));
  rs.SetString("C", "e");  // edited, code unchanged
  SaveTableFile(p, rs);
  EXPECT_EQ(rs.State(), dsEdit);
  EXPECT_EQ(savedTags()[2], "1/e");
  rs.SetInteger("Cod", 2);  // now moves behind the two rows with code 2
  SaveTableFile(p, rs);
  EXPECT_EQ(savedTags(), (std::vector<std::string>{"/", "-2147483648/", "2/", "2/", "2/e", "2147483647/"}));
  rs.Post();
  rs.Append();
  rs.SetInteger("Cod", 0);
  rs.SetString("C", "n");
  SaveTableFile(p, rs);
  EXPECT_EQ(rs.State(), dsInsert);
  EXPECT_EQ(rs.RecordCount(), 6);
  EXPECT_EQ(savedTags()[2], "0/n");
  EXPECT_EQ(savedTags().size(), 7u);
}

TEST(TableFile, FileDeclaresTypesAndSizesAndStoresNullsAndBytes) {
  TScratchDir dir;
  TRecordSet rs = Sample();
  SaveTableFile(dir.File("T.cds"), rs);
  sqlite3 *db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(dir.File("T.cds").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt *st = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT name, type FROM pragma_table_info('T')", -1, &st, nullptr), SQLITE_OK);
  std::vector<std::string> cols;
  while (sqlite3_step(st) == SQLITE_ROW)
    cols.push_back(std::string((const char *)sqlite3_column_text(st, 0)) + " " +
                   (const char *)sqlite3_column_text(st, 1));
  sqlite3_finalize(st);
  EXPECT_EQ(cols, (std::vector<std::string>{"Cod INTEGER", "Nume TEXT(50)", "Pret FLOAT", "Nou BOOLEAN", "C TEXT(1)"}));
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT typeof(Cod), typeof(Nume), length(Nume), typeof(C) FROM T WHERE Cod = 2 AND Nou = 1 ORDER BY rowid LIMIT 1",
                               -1, &st, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
  EXPECT_STREQ((const char *)sqlite3_column_text(st, 0), "integer");
  EXPECT_STREQ((const char *)sqlite3_column_text(st, 1), "blob");
  EXPECT_EQ(sqlite3_column_int(st, 2), 3);
  EXPECT_STREQ((const char *)sqlite3_column_text(st, 3), "null");
  sqlite3_finalize(st);
  sqlite3_close(db);
}

TEST(TableFile, TablesWrittenByHandLoadButLongTextsAreRefused) {
  TScratchDir dir;
  const std::string path = dir.File("Hand.cds");
  Sql(path, "CREATE TABLE x (Cod integer, Nume text ( 3 ), Pret Float); "
            "INSERT INTO x VALUES (2, 'abc', 4), (1, 'ok', 1.5);");
  TRecordSet rs = LoadTableFile(path);
  EXPECT_EQ(rs.FieldDefs()[1], (TFieldDef{"Nume", ftString, 3}));
  EXPECT_EQ(rs.AsInteger("Cod"), 1);
  rs.Next();
  EXPECT_EQ(rs.AsString("Nume"), "abc");
  EXPECT_EQ(rs.AsFloat("Pret"), 4.0);
  // Cut to its size, the rest would be gone with the next save.
  Sql(path, "INSERT INTO x VALUES (3, 'abcdef', 1);");
  ExpectLoadFails(dir, path, "campul Nume, randul 3, are 6 caractere");
}

TEST(TableFile, UnreadableFilesFailNamingTheFileAndStayUntouched) {
  TScratchDir dir;
  const std::string p = dir.File("Departamente.cds");

  WriteFileBytes(p, "");
  ExpectLoadFails(dir, p, "gol");
  WriteFileBytes(p, "Cod;Nume\r\n1;DEPT 1\r\n");
  ExpectLoadFails(dir, p, "nu este un fisier de tabel");

  // A real table file cut short and one with a page overwritten.
  TRecordSet big({{"Cod", ftInteger, 0}, {"Nume", ftString, 50}});
  for (int i = 0; i < 500; ++i) {
    big.Append();
    big.SetInteger("Cod", i);
    big.SetString("Nume", std::string(40, char('a' + i % 26)));
    big.Post();
  }
  SaveTableFile(p, big);
  const std::string whole = ReadFileBytes(p);
  ASSERT_GT(whole.size(), 8192u);
  WriteFileBytes(p, whole.substr(0, whole.size() / 2));
  ExpectLoadFails(dir, p, "");
  std::string damaged = whole;
  for (size_t i = 4096; i < 8192; ++i) damaged[i] = char(0xA5);
  WriteFileBytes(p, damaged);
  ExpectLoadFails(dir, p, "deteriorat");
  std::string badHeader = whole;
  badHeader[16] = 0x03;  // page size 768: not a power of two
  WriteFileBytes(p, badHeader);
  ExpectLoadFails(dir, p, "");
  // Cut anywhere, even where SQLite finds every row it looks for.
  for (size_t cut : {whole.size() - 1, whole.size() - 512, whole.size() - 4096}) {
    WriteFileBytes(p, whole.substr(0, cut));
    ExpectLoadFails(dir, p, "trunchiat");
  }
  // Marked by a later format of this program, or by another program.
  for (const auto &[pragma, says] : {std::pair{"PRAGMA user_version = 2", "versiune mai noua"},
                                     std::pair{"PRAGMA application_id = 1234", "acestui program"}}) {
    WriteFileBytes(p, whole);
    Sql(p, pragma);
    ExpectLoadFails(dir, p, says);
  }

  ::unlink(p.c_str());
  Sql(p, "CREATE TABLE a (Cod INTEGER); CREATE TABLE b (Cod INTEGER);");
  ExpectLoadFails(dir, p, "mai multe tabele");
  ::unlink(p.c_str());
  Sql(p, "CREATE TABLE a (Cod INTEGER, Data DATETIME);");
  ExpectLoadFails(dir, p, "Data");
  ::unlink(p.c_str());
  Sql(p, "CREATE TABLE a (Cod INTEGER, Nume TEXT(5)); INSERT INTO a VALUES (1.5, 'x');");
  ExpectLoadFails(dir, p, "randul 1");
  ::unlink(p.c_str());
  Sql(p, "CREATE TABLE a (Cod INTEGER); INSERT INTO a VALUES (4294967296);");
  ExpectLoadFails(dir, p, "Cod");
  ::unlink(p.c_str());
  Sql(p, "CREATE TABLE a (Cod INTEGER, Nou BOOLEAN); INSERT INTO a VALUES (1, 2);");
  ExpectLoadFails(dir, p, "Nou");
  ::unlink(p.c_str());
  Sql(p, "CREATE TABLE a (Cod INTEGER, Nume TEXT(0));");
  ExpectLoadFails(dir, p, "Nume");
  ::unlink(p.c_str());

  EXPECT_THROW(LoadTableFile(dir.File("Lipsa.cds")), ETableFile);
  ::mkdir(p.c_str(), 0700);
  EXPECT_THROW(LoadTableFile(p), ETableFile);
}

TEST(TableFile, FileLockedByAnotherWriterFailsAndIsLeftAlone) {
  TScratchDir dir;
  const std::string p = dir.File("TVA.cds");
  SaveTableFile(p, Sample());
  const std::string before = ReadFileBytes(p);
  sqlite3 *other = nullptr;
  ASSERT_EQ(sqlite3_open(p.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; INSERT INTO TVA (Cod) VALUES (99);", nullptr, nullptr, nullptr),
            SQLITE_OK);
  try {
    LoadTableFile(p);
    ADD_FAILURE() << "loaded a file locked for writing";
  } catch (const ETableFile &e) {
    EXPECT_NE(std::string(e.what()).find("blocat"), std::string::npos) << e.what();
  }
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(ReadFileBytes(p), before);
  EXPECT_EQ(LoadTableFile(p).RecordCount(), 6);
}

TEST(TableFile, JournalsOfOtherProgramsAreNeitherUsedNorLeftBehind) {
  TScratchDir dir;
  // A file another tool switched to write-ahead logging: readable once the
  // tool is done with it, without creating -wal or -shm files; refused while
  // its log is there.
  const std::string wal = dir.File("SO.cds");
  sqlite3 *db = nullptr;
  ASSERT_EQ(sqlite3_open(wal.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "PRAGMA journal_mode=WAL; CREATE TABLE t (Cod INTEGER); INSERT INTO t VALUES (7);",
                         nullptr, nullptr, nullptr), SQLITE_OK);
  try {
    LoadTableFile(wal);
    ADD_FAILURE() << "loaded a file whose log is in use";
  } catch (const ETableFile &e) {
    EXPECT_NE(e.Reason().find("folosit de alt program"), std::string::npos) << e.what();
  }
  sqlite3_close(db);
  ASSERT_EQ(dir.Entries(), (std::vector<std::string>{"SO.cds"}));
  const std::string before = ReadFileBytes(wal);
  TRecordSet rs = LoadTableFile(wal);
  EXPECT_EQ(rs.AsInteger("Cod"), 7);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"SO.cds"}));
  EXPECT_EQ(ReadFileBytes(wal), before);

  // A rollback journal left by a writer that stopped half-way: undoing it
  // is a write, so the load refuses and leaves file and journal alone.
  const std::string src = dir.File("src.cds");
  TRecordSet big({{"Cod", ftInteger, 0}, {"Nume", ftString, 50}});
  for (int i = 0; i < 1000; ++i) {  // enough rows for the change to spill into the file
    big.Append();
    big.SetInteger("Cod", i);
    big.SetString("Nume", std::string(40, 'v'));
    big.Post();
  }
  SaveTableFile(src, big);
  ASSERT_EQ(sqlite3_open(src.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "PRAGMA cache_size=1; BEGIN; UPDATE src SET Nume = 'schimbat';", nullptr, nullptr, nullptr),
            SQLITE_OK);
  std::string journal = ReadFileBytes(src + "-journal");
  ASSERT_FALSE(journal.empty());
  const std::string hot = dir.File("TVA.cds");
  WriteFileBytes(hot, ReadFileBytes(src));
  WriteFileBytes(hot + "-journal", journal);
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  const std::string hotBefore = ReadFileBytes(hot);
  try {
    LoadTableFile(hot);
    ADD_FAILURE() << "loaded a file with a hot journal";
  } catch (const ETableFile &e) {
    EXPECT_NE(e.Reason().find("scriere neterminata"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadFileBytes(hot), hotBefore);
  EXPECT_EQ(ReadFileBytes(hot + "-journal"), journal);
}

// Runs check (0 for success) as an ordinary user: root reads and writes
// whatever the modes say. As root the check runs in a child that gives up
// root; -1 when that is not possible here.
template <class F>
int AsOrdinaryUser(const TScratchDir &dir, F check) {
  if (::geteuid() != 0) return check();
  ::chmod(dir.Path().c_str(), 0777);
  const pid_t pid = fork();
  if (pid == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(77);
    _exit(check());
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 1;
  return WEXITSTATUS(status) == 77 ? -1 : WEXITSTATUS(status);
}

TEST(TableFile, FilesWithoutPermissionAreNeitherReadNorReplaced) {
  TScratchDir dir;
  const std::string p = dir.File("PLU.cds");
  SaveTableFile(p, Sample());
  const std::string before = ReadFileBytes(p);
  ::chmod(p.c_str(), 0);
  int rc = AsOrdinaryUser(dir, [&] {
    try {
      LoadTableFile(p);
      return 1;
    } catch (const ETableFile &e) {
      return std::string(e.what()).find(p) != std::string::npos && e.Reason() == "acces interzis" ? 0 : 2;
    }
  });
  if (rc == -1) GTEST_SKIP() << "cannot drop root here";
  EXPECT_EQ(rc, 0) << "an unreadable file was loaded or gave another message";

  // A write-protected table is not replaced behind the user's back.
  ::chmod(p.c_str(), 0444);
  rc = AsOrdinaryUser(dir, [&] {
    try {
      SaveTableFile(p, TRecordSet({{"Cod", ftInteger, 0}}));
      return 1;
    } catch (const ETableFile &e) {
      return e.Saving() && e.Reason().find("protejat la scriere") != std::string::npos ? 0 : 2;
    }
  });
  EXPECT_EQ(rc, 0) << "a write-protected file was replaced";
  ::chmod(p.c_str(), 0600);
  EXPECT_EQ(ReadFileBytes(p), before);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"PLU.cds"}));
}

TEST(TableFile, SaveInterruptedBeforeRenameKeepsOldFileAndLeavesNoTemporary) {
  TScratchDir dir;
  const std::string p = dir.File("Casieri.cds");
  TRecordSet v1({{"Cod", ftInteger, 0}});
  v1.Append();
  v1.SetInteger("Cod", 1);
  v1.Post();
  SaveTableFile(p, v1);
  ::chmod(p.c_str(), 0640);
  const std::string old = ReadFileBytes(p);

  TRecordSet v2 = Sample();
  std::string seenTemp;
  SetTableSaveHook([&](const std::string &temp) {
    seenTemp = temp;
    // The new file is whole before it takes the table's name.
    EXPECT_EQ(LoadTableFile(temp).RecordCount(), v2.RecordCount());
    throw std::runtime_error("curent intrerupt");
  });
  try {
    SaveTableFile(p, v2);
    ADD_FAILURE() << "interrupted save reported success";
  } catch (const ETableFile &e) {
    EXPECT_TRUE(e.Saving());
    EXPECT_EQ(std::string(e.what()), "Nu pot salva fisierul " + p + ": curent intrerupt");
  }
  SetTableSaveHook({});
  EXPECT_EQ(seenTemp.rfind(dir.Path() + "/", 0), 0u) << "temporary file outside the table's directory";
  EXPECT_EQ(ReadFileBytes(p), old);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Casieri.cds"}));

  SaveTableFile(p, v2);
  EXPECT_EQ(LoadTableFile(p).RecordCount(), v2.RecordCount());
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file keeps its permissions
}

TEST(TableFile, DiskFullDuringSaveKeepsOldFile) {
  TScratchDir dir;
  const std::string p = dir.File("PLU.cds");
  SaveTableFile(p, Sample());
  const std::string old = ReadFileBytes(p);
  TRecordSet big({{"Cod", ftInteger, 0}, {"Nume", ftString, 50}});
  for (int i = 0; i < 5000; ++i) {
    big.Append();
    big.SetInteger("Cod", i);
    big.SetString("Nume", std::string(50, 'n'));
    big.Post();
  }
  // A file-size limit fails the writes past 64 KB the way a full disk does.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool failed = false;
  std::string reason;
  try {
    SaveTableFile(p, big);
  } catch (const ETableFile &e) {
    failed = true;
    reason = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(failed) << "a save that could not be written reported success";
  EXPECT_NE(reason.find("Nu pot salva fisierul " + p + ": "), std::string::npos) << reason;
  EXPECT_EQ(ReadFileBytes(p), old);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"PLU.cds"}));
}

TEST(TableFile, FilesSavedTogetherFailTogetherAndNeverMix) {
  TScratchDir dir;
  const std::string table = dir.File("T.cds"), image = dir.File("T.registru");
  auto rows = [](int n) {
    TRecordSet t({{"Cod", ftInteger, 0}});
    for (int i = 1; i <= n; ++i) {
      t.Append();
      t.SetInteger("Cod", i);
      t.Post();
    }
    return t;
  };
  const TRecordSet one = rows(1), two = rows(2);
  SaveTableFiles({{table, &one}, {image, &one}});
  const std::string before = ReadFileBytes(table);
  // The second file fails (a full disk): the first is not put in place either.
  SetTableSaveHook([](const std::string &temp) {
    if (temp.find(".T.registru.") != std::string::npos) throw std::runtime_error("discul este plin");
  });
  EXPECT_THROW(SaveTableFiles({{table, &two}, {image, &two}}), ETableFile);
  SetTableSaveHook({});
  EXPECT_EQ(ReadFileBytes(table), before);
  EXPECT_EQ(LoadTableFile(image).RecordCount(), 1);
  EXPECT_EQ(dir.Entries().size(), 2u);

  // Two writers at once: the last pair wins whole.
  auto writer = [&](const TRecordSet *rs) {
    for (int i = 0; i < 40; ++i) SaveTableFiles({{table, rs}, {image, rs}});
  };
  std::thread a(writer, &one), b(writer, &two);
  a.join();
  b.join();
  EXPECT_EQ(LoadTableFile(table).RecordCount(), LoadTableFile(image).RecordCount());
  EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST(TableFile, SaveThatCannotWriteReportsItAndCreatesNothing) {
  TScratchDir dir;
  const std::string p = dir.File("lipsa/PLU.cds");
  try {
    SaveTableFile(p, Sample());
    ADD_FAILURE() << "saved into a missing directory";
  } catch (const ETableFile &e) {
    EXPECT_EQ(std::string(e.what()).rfind("Nu pot salva fisierul " + p + ": ", 0), 0u) << e.what();
  }
  EXPECT_TRUE(dir.Entries().empty());
  EXPECT_THROW(SaveTableFile(dir.File("T.cds"), TRecordSet()), ETableFile);  // no fields
  ::mkdir(dir.File("D.cds").c_str(), 0700);
  EXPECT_THROW(SaveTableFile(dir.File("D.cds"), Sample()), ETableFile);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"D.cds"}));
}
