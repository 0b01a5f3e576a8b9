// A Z report's lines are on disk before the register is told it may clear
// them: a program killed in the middle of the read leaves every
// acknowledged line behind (announced at the next start), and a disk that
// will not take a line stops the read before that line is acknowledged, so
// the register keeps its sales.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTest>

#include "AtomicFile.h"
#include "ChildRun.h"
#include "RegisterReports.h"
#include "SimProgramDir.h"

namespace {

class ZJournalRead : public ::testing::Test {
 protected:
  void SetUp() override {
    Project = Env.MakeProject();
    // Over 200 articles sold: a Z report of over 200 lines and its total
    // (sale i sells article 3i mod n: n must not be a multiple of 3).
    Env.Sim.WithEngine([](Sim::TEngine &e) {
      for (int i = 1; e.Tables.Plus.size() % 3 == 0 || e.Tables.Plus.size() < 210; ++i) {
        Sim::TPlu p;
        p.Cod = 100 + i;
        p.Nume = "ARTICOL " + std::to_string(i);
        p.CodDep = 1;
        p.CodUM = 1;
        p.Pret1 = 100 * i;
        e.Tables.Plus[p.Cod] = p;
      }
      e.Sales.Clear();
      e.Sales.Seed(e.Tables, 600);
    });
    Sales = Env.Report("RSZ000004");
    ASSERT_GT(Sales.size(), 200u);
  }
  std::vector<std::string> Args(std::vector<std::string> more) {
    std::vector<std::string> all{"--home", Env.Path(), "--project", "P"};
    all.insert(all.end(), more.begin(), more.end());
    return all;
  }
  std::vector<std::string> Files(const QString &pattern) {
    std::vector<std::string> v;
    for (const QString &f : QDir(QString::fromStdString(Project)).entryList({pattern}, QDir::Files))
      v.push_back(Project + "/" + f.toStdString());
    return v;
  }
  uint64_t Acks() { return Env.Sim.Stats().AcksIn; }

  TSimProgramDir Env;
  std::string Project;
  TLineList Sales;
};

}  // namespace

TEST_F(ZJournalRead, AReadKilledHalfWayLeavesEveryAcknowledgedLineAnnouncedAtTheNextStart) {
  Sim::TFaults slow;
  slow.ByteDelayMs = 1;  // a few lines a second: time to kill it half-way
  Env.Sim.SetFaults(slow);
  std::vector<std::string> words{TARVOCTL_PATH};
  for (const std::string &a : Args({"report", "plu-sales", "--yes"})) words.push_back(a);
  std::vector<char *> argv;
  for (std::string &w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  const bool halfWay = QTest::qWaitFor([&] { return Acks() >= 50; }, 60000);
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  ASSERT_TRUE(halfWay);
  const uint64_t acknowledged = Acks();
  ASSERT_LT(acknowledged, Sales.size());

  const std::vector<std::string> journals = Files("VanzariPLU-*.jurnal");
  ASSERT_EQ(journals.size(), 1u);
  const std::string kept = ReadFileBytes(journals[0]);
  // Every acknowledged line is there, as received, in the order it came.
  EXPECT_EQ(kept.substr(0, JoinLinesCrLf(TLineList(Sales.begin(), Sales.begin() + long(acknowledged))).size()),
            JoinLinesCrLf(TLineList(Sales.begin(), Sales.begin() + long(acknowledged))));

  // The next start on the project says so once, and keeps the file.
  Env.Sim.SetFaults({});
  const TChildRun next = RunChild(TARVOCTL_PATH, Args({"dept", "show"}));
  EXPECT_EQ(next.Status, 0) << next.Err;
  const std::vector<std::string> left = Files("VanzariPLU-incomplet-*.txt");
  ASSERT_EQ(left.size(), 1u) << next.Err;
  EXPECT_EQ(ReadFileBytes(left[0]), kept);
  EXPECT_NE(next.Err.find("a Z report read that never finished left "), std::string::npos) << next.Err;
  EXPECT_NE(next.Err.find(" lines in " + left[0]), std::string::npos) << next.Err;
  EXPECT_EQ(RunChild(TARVOCTL_PATH, Args({"dept", "show"})).Err.find("never finished"), std::string::npos);
}

TEST_F(ZJournalRead, ADiskThatWillNotTakeALineStopsTheReadBeforeItsAcknowledgement) {
  // Room for the journal's first lines only (about 5 KB), as on a full disk.
  const TChildRun r = RunChild(TARVOCTL_PATH, Args({"report", "plu-sales", "--yes"}), TStdout::File, 5000);
  EXPECT_EQ(r.Status, 1) << r.Err;
  EXPECT_NE(r.Err.find("linia primita nu a putut fi pastrata pe disc: fisierul este prea mare ("), std::string::npos)
      << r.Err;
  EXPECT_NE(r.Err.find("casa de marcat o pastreaza: eliberati discul si reluati citirea [8052]\n"), std::string::npos)
      << r.Err;
  EXPECT_LT(Acks(), Sales.size());
  // The register still holds the day's sales: the next read gets them all.
  const TChildRun again = RunChild(TARVOCTL_PATH, Args({"report", "plu-sales", "--yes"}));
  EXPECT_EQ(again.Status, 0) << again.Err;
  TLineList laidOut = ReportText(PluSalesTitle, Sales);
  std::string expected;
  for (const std::string &l : laidOut) expected += l + "\n";
  EXPECT_EQ(again.Out, expected);
  EXPECT_EQ(Env.Report("RSZ000004").size(), 2u);  // cleared now: the header and a zero total
}
