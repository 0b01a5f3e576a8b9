// Disks and files that fail, as tarvoctl meets them: a project whose disk is
// full (a file-size limit on the child, which no test needs root for) and
// table files that are damaged, of another make or of a later version.
#include <fstream>
#include <functional>
#include <sqlite3.h>

#include "ChildRun.h"
#include "PluTestProject.h"
#include "ProjectTables.h"
#include "RegisterImage.h"
#include "TableFile.h"

namespace {

class DiskTest : public PluProject {
 protected:
  TChildRun Run(const std::vector<std::string> &words, long maxFileBytes = 0) {
    std::vector<std::string> all{"--home", Dir.Path(), "--project", "P", "--timeout", "400"};
    all.insert(all.end(), words.begin(), words.end());
    return RunChild(TARVOCTL_PATH, all, TStdout::File, maxFileBytes);
  }
  // The table file and its register image, as bytes.
  std::pair<std::string, std::string> Files(TTableId id) {
    return {FileBytes(id), ReadFileBytes(RegisterImagePath(Project, id))};
  }
};

}  // namespace

TEST_F(DiskTest, AFullDiskFailsTheActionAndLeavesTableAndImageAsTheyWere) {
  SetRegisterCodes({1, 2});
  ASSERT_EQ(Run({"dept", "read"}).Status, 0);
  ASSERT_EQ(Run({"plu", "read"}).Status, 0);
  std::ofstream(Dir.Path() + "/new.txt") << "7;APA;;1;1;2,50;0;0\r\n";
  const struct {
    const char *Name;
    TTableId Table;
    std::vector<std::string> Words;
    std::function<void()> Before;  // what makes the action change something
  } cases[] = {
      {"dept read", tiDepartamente, {"dept", "read"},
       [&] { Answer("D5000", {"5000;1;\"ALTUL\";1;0;4;0;0;1256;0;1;0;0;0;0;0;0;0;0"}); }},
      {"dept program", tiDepartamente, {"dept", "program"}, [] {}},
      {"plu read", tiPLU, {"plu", "read"}, [&] { SetRegisterCodes({1, 2, 3}); }},
      {"plu program", tiPLU, {"plu", "program"}, [] {}},
      {"plu import", tiPLU, {"plu", "import", Dir.Path() + "/new.txt"}, [] {}},
  };
  for (const auto &c : cases) {
    c.Before();
    const auto before = Files(c.Table);
    ASSERT_NE(before.first, "") << c.Name;
    ASSERT_NE(before.second, "") << c.Name;
    // Two pages of a table file are more than this: every save fails.
    const TChildRun r = Run(c.Words, 4096);
    EXPECT_EQ(r.Status, 1) << c.Name << "\n" << r.Err;
    EXPECT_NE(r.Err.find("Nu pot salva fisierul " + Project + "/"), std::string::npos) << c.Name << "\n" << r.Err;
    EXPECT_TRUE(Files(c.Table) == before) << c.Name << ": the table or its image changed";
  }
}

TEST_F(DiskTest, ADamagedTableFileIsRefusedByNameAndNeverOverwritten) {
  ASSERT_EQ(Run({"dept", "read"}).Status, 0);
  const std::string path = ProjectTablePath(Project, tiDepartamente);
  const std::string whole = FileBytes(tiDepartamente);
  auto sql = [&](const char *statement) {
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, statement, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  };
  const struct {
    const char *Name;
    std::function<void()> Damage;
    const char *Says;
  } cases[] = {
      {"cut in half", [&] { std::ofstream(path, std::ios::binary) << whole.substr(0, whole.size() / 2); }, ""},
      {"cut short", [&] { std::ofstream(path, std::ios::binary) << whole.substr(0, whole.size() - 100); }, "trunchiat"},
      {"a later version", [&] { std::ofstream(path, std::ios::binary) << whole; sql("PRAGMA user_version = 7"); },
       "versiune mai noua"},
      {"a unit kept as text",
       [&] {
         TRecordSet odd({{"Cod", ftInteger, 0}, {"Nume", ftString, 50}, {"UM", ftString, 5}});
         odd.Append();
         odd.SetInteger("Cod", 1);
         odd.SetString("UM", "kg");
         odd.Post();
         SaveTableFile(path, odd);
       },
       "campul UM este de tip text"},
  };
  for (const auto &c : cases) {
    c.Damage();
    const std::string damaged = FileBytes(tiDepartamente);
    for (const std::vector<std::string> &words :
         {std::vector<std::string>{"dept", "show"}, {"dept", "set", "1", "Nume=X"}, {"dept", "read"}}) {
      const TChildRun r = Run(words);
      EXPECT_EQ(r.Status, 1) << c.Name << " " << words[1] << "\n" << r.Err;
      EXPECT_EQ(r.Out, "") << c.Name << " " << words[1];
      EXPECT_NE(r.Err.find("tarvoctl: Nu pot citi fisierul " + path + ": "), std::string::npos) << r.Err;
      EXPECT_NE(r.Err.find(c.Says), std::string::npos) << c.Name << "\n" << r.Err;
      EXPECT_EQ(FileBytes(tiDepartamente), damaged) << c.Name << " " << words[1];
    }
  }
}
