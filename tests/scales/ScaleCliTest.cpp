// tarvoctl scale as a script sees it, from a copy of the program in a
// scratch program directory with a stand-in driver.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "PluRows.h"
#include "ProjectTables.h"
#include "RunProgram.h"
#include "ScratchDir.h"

namespace {

}  // namespace

TEST(ScaleCli, ListPrefixAndSend) {
  TScratchDir home;
  const std::string program = home.Path() + "/tarvoctl";
  ASSERT_TRUE(QFile::copy(TARVOCTL_PATH, QString::fromStdString(program)));
  auto run = [&](const QStringList &args) {
    return RunProgram(QString::fromStdString(program), QStringList{"--project", "p"} + args);
  };
  ::mkdir((home.Path() + "/p").c_str(), 0755);

  EXPECT_EQ(run({"scale", "add", "10.0.0.7"}).Status, 0);
  EXPECT_EQ(run({"scale", "add", "10.0.0.8"}).Status, 0);
  EXPECT_EQ(run({"scale", "add", "../x"}).Status, 1);
  EXPECT_EQ(run({"scale", "remove", "10.0.0.7"}).Status, 0);
  EXPECT_EQ(run({"scale", "prefix", "2x"}).Status, 2);
  EXPECT_EQ(run({"scale", "send"}).Err, "tarvoctl: Nu ai introdus prefixul codurilor transmise!\n");
  EXPECT_EQ(run({"scale", "prefix", "21"}).Status, 0);
  EXPECT_EQ(run({"scale", "show"}).Out, "Prefix;21\nCantar;10.0.0.8\n");

  TRecordSet plu = NewTable(tiPLU);
  plu.Append();
  plu.SetFloat("Cod", 42);
  plu.SetString("CodAlfa", PluCodeText(42));
  plu.SetString("Cantar", "x");
  plu.Post();
  SaveProjectTable(home.Path() + "/p", tiPLU, plu);
  const std::string driver = home.Path() + "/DIGIWTCP.EXE";
  std::ofstream(driver) << "#!/bin/sh\necho \"OK:0\" > result\n";
  ::chmod(driver.c_str(), 0755);
  const TRun sent = run({"scale", "send"});
  EXPECT_EQ(sent.Status, 0) << sent.Err;
  EXPECT_EQ(sent.Out, "Transmisia datelor s-a incheiat cu succes ! (1 PLU)\n");
  struct stat st;
  EXPECT_EQ(::stat((home.Path() + "/SM10.0.0.8F37.DAT").c_str(), &st), 0);

  EXPECT_EQ(run({"scale", "prefix", ""}).Status, 0);
  EXPECT_EQ(ReadFileBytes(home.Path() + "/p/Prefix.txt"), "");
}
