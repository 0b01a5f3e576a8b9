// The transfer from the PLU table to the scales: which PLUs go, the data
// files, the driver's command line and its run, every message, and the
// project's scale list and prefix files.
#include <gtest/gtest.h>

#include <QStandardPaths>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "PluRows.h"
#include "ProjectTables.h"
#include "ScaleTransfer.h"
#include "ScratchDir.h"

namespace {

bool Exists(const std::string &path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

class ScaleTransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Work = Dir.Path() + "/";
    Plu = NewTable(tiPLU);
    // Only the "x" rows with a code from 1 to 99999 go to the scales.
    Add(42, "A", 12.345, "x");
    Add(7, "NU", 1, " ");
    Add(100000, "PREA MARE", 1, "x");
    Add(99999, "", 0.005, "x");
  }
  void Add(int64_t cod, const std::string &name, double price, const std::string &mark) {
    Plu.Append();
    Plu.SetFloat("Cod", double(cod));
    Plu.SetString("CodAlfa", PluCodeText(cod));
    Plu.SetString("Nume", name);
    Plu.SetFloat("Pret1", price);
    Plu.SetString("Cantar", mark);
    Plu.Post();
  }
  // A stand-in for DIGIWTCP.EXE: a script that notes where and with what it
  // ran, and writes the result the test wants.
  void Driver(const std::string &body) {
    const std::string path = Work + DriverFileName;
    std::ofstream(path) << "#!/bin/sh\n"
                           "pwd > ran.txt\n"
                           "for a in \"$@\"; do echo \"[$a]\" >> ran.txt; done\n"
                        << body << "\n";
    ::chmod(path.c_str(), 0755);
  }
  TScaleOutcome Send(std::vector<std::string> scales, std::string prefix = "21") {
    return SendToScales(Plu, {std::move(scales), std::move(prefix)}, Work);
  }

  TScratchDir Dir;
  std::string Work;
  TRecordSet Plu;
};

}  // namespace

TEST_F(ScaleTransferTest, AStandInDriverGetsTheFilesAndItsResultIsRead) {
  Driver("echo 'TRANSFER:0' > result");
  // "$(id)" reaches the driver as it stands: no shell ever sees the list.
  const TScaleOutcome o = Send({"10.0.0.7", "$(id)"});
  EXPECT_TRUE(o.Ok) << o.Text;
  EXPECT_EQ(o.Text, "Transmisia datelor s-a incheiat cu succes !");
  EXPECT_EQ(o.Kind, 2);
  EXPECT_EQ(o.Records, 2);
  EXPECT_EQ(ReadFileBytes(Work + "ran.txt"), Dir.Path() + "\n[WR]\n[37]\n[10.0.0.7]\n[$(id)]\n");
  // Both files hold the same records, in table order, with nothing between.
  const std::string data = ReadFileBytes(Work + "SM10.0.0.7F37.DAT");
  EXPECT_EQ(data.substr(0, 8), "00000042");
  EXPECT_EQ(data.substr(58), "00099999" "0019" "7000" "0D2000" "00000001" "1105" "21999990000000" "00");
  EXPECT_EQ(ReadFileBytes(Work + "SM$(id)F37.DAT"), data);

  TDigi digi(Work);
  digi.Scales = {"10.0.0.7", "10.0.0.8"};
  EXPECT_EQ(digi.CommandLine(), "DIGIWTCP.EXE WR 37  10.0.0.7 10.0.0.8 ");
}

TEST_F(ScaleTransferTest, EveryFailureSaysWhatWentWrong) {
  const struct {
    const char *Why;
    std::vector<std::string> Scales;
    std::string Prefix;
    std::string Driver;  // the script's body; "-" for no driver at all
    bool EmptyTable;
    std::string Text;  // the message, or its start
    std::string Title;
    int Kind;
    bool Writes;  // data files written
  } cases[] = {
      {"no scale", {}, "21", "", false, "Nu ai introdus nici o pozitie in lista de cantare !\r", "Eroare", 0, false},
      {"no prefix", {"s1"}, "", "", false, "Nu ai introdus prefixul codurilor transmise!\r", "Eroare", 0, false},
      {"address leaving the directory", {"s1", "../s2"}, "21", "", false, "Adresa cantarului \"../s2\"", "Eroare", 0,
       false},
      {"no driver", {"s1"}, "21", "-", false, "Nu gasesc fisierul driver \r" + Dir.Path() + "/DIGIWTCP.EXE", "", 1,
       false},
      {"no scale PLU", {"s1"}, "21", "", true, " Nu sunt articole cantarible pentru a fi transmise la Cantar !!",
       "Erroare", 1, false},
      {"driver reports a failure", {"s1"}, "21", "echo 'TRANSFER:5' > result; exit 3", false,
       "Nu am reusit sa transmit datele catre cantare !\rFisierul result: TRANSFER:5", "", 1, true},
      // A result of an earlier run is not this run's.
      {"driver leaves no result", {"s1"}, "21", "exit 0", false, "Nu am reusit sa transmit datele catre cantare !", "",
       1, true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.Why);
    std::system(("rm -f '" + Work + "'SM* '" + Work + "'DIGIWTCP.EXE").c_str());
    std::ofstream(Work + "result") << "OLD:0\r\n";
    if (c.Driver != "-") Driver(c.Driver);
    if (c.EmptyTable) Plu.EmptyTable();
    const TScaleOutcome o = Send(c.Scales, c.Prefix);
    EXPECT_FALSE(o.Ok);
    EXPECT_EQ(o.Text.substr(0, c.Text.size()), c.Text);
    EXPECT_EQ(o.Title, c.Title);
    EXPECT_EQ(o.Kind, c.Kind);
    EXPECT_EQ(Exists(Work + "SMs1F37.DAT"), c.Writes);
    if (c.EmptyTable) SetUp();
  }
  EXPECT_FALSE(Exists(Dir.Path() + "/../s2F37.DAT"));
}

TEST_F(ScaleTransferTest, WhatCannotRunOrCannotBeSentIsRefusedBeforeAnythingIsWritten) {
  // A command line over 512 characters.
  Driver("echo 'X:0' > result");
  std::vector<std::string> many;
  for (int i = 0; i < 40; ++i) many.push_back("192.168.100." + std::to_string(100 + i));
  TScaleOutcome o = Send(many);
  EXPECT_FALSE(o.Ok);
  EXPECT_NE(o.Text.find("512"), std::string::npos) << o.Text;
  EXPECT_FALSE(Exists(Work + "SM192.168.100.100F37.DAT"));
  EXPECT_FALSE(Exists(Work + "ran.txt"));

  // A price the record's eight digits cannot hold.
  Add(5, "SCUMP", 1000000, "x");
  o = Send({"s1"});
  EXPECT_NE(o.Text.find("00000000000005"), std::string::npos) << o.Text;
  EXPECT_FALSE(Exists(Work + "SMs1F37.DAT"));

  // A Windows program needs wine; without it the message says so.
  std::ofstream(Work + DriverFileName) << "MZ\x90\x00 not really a program";
  TDigi digi(Work);
  digi.Scales = {"s1"};
  const std::string problem = digi.DriverProblem();
  if (QStandardPaths::findExecutable("wine").isEmpty())
    EXPECT_NE(problem.find("wine nu este instalat"), std::string::npos) << problem;
  else
    EXPECT_EQ(problem, "");
  // Neither Windows program nor executable.
  std::ofstream(Work + DriverFileName) << "text";
  ::chmod((Work + DriverFileName).c_str(), 0644);
  EXPECT_NE(digi.DriverProblem().find("nu are drept de executie"), std::string::npos);
}

TEST(ScaleSettings, TheListAndThePrefixLiveInTheProjectWithCrLf) {
  TScratchDir dir;
  EXPECT_TRUE(LoadScaleSettings(dir.Path()).Scales.empty());
  SaveScaleSettings(dir.Path(), {{"10.0.0.7", "10.0.0.8"}, "21"});
  EXPECT_EQ(ReadFileBytes(dir.Path() + "/Cantare.txt"), "10.0.0.7\r\n10.0.0.8\r\n");
  EXPECT_EQ(ReadFileBytes(dir.Path() + "/Prefix.txt"), "21\r\n");
  const TScaleSettings back = LoadScaleSettings(dir.Path());
  EXPECT_EQ(back.Scales, (std::vector<std::string>{"10.0.0.7", "10.0.0.8"}));
  EXPECT_EQ(back.Prefix, "21");
  SaveScaleSettings(dir.Path(), {{}, ""});
  EXPECT_EQ(ReadFileBytes(dir.Path() + "/Prefix.txt"), "");
  EXPECT_EQ(LoadScaleSettings(dir.Path()).Prefix, "");

  for (const char *bad : {"a/b", "..\\x", "10.0.0.7 10.0.0.8", "c:x", ""}) EXPECT_NE(ScaleAddressProblem(bad), "") << bad;
  for (const char *good : {"10.0.0.7", "cantar-1", "fe80..1"}) EXPECT_EQ(ScaleAddressProblem(good), "") << good;
}
