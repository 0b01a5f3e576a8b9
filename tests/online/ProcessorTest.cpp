// The command-file processor against the simulator: what another program
// drops into the work directory and what it finds there afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTimer>

#include "AtomicFile.h"
#include "CommandProcessor.h"
#include "PluSalesLayout.h"
#include "SimProgramDir.h"
#include "ScratchDir.h"

namespace {

class ProcessorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Work = Env.Path() + "work/";
    ASSERT_EQ(::mkdir(Work.c_str(), 0755), 0);
    Settings.PortOnline = TSimProgramDir::Com;
    Settings.DirectorLucru = Work;
    Options.PauseMs = 10;
    Options.RetryWindowMs = 1500;
    Options.QuietMs = 100;
    Options.Link.SilenceMs = 300;
  }
  TCommandProcessor &Make() {
    P = std::make_unique<TCommandProcessor>([this] { return Settings; }, Options);
    P->OnLog = [this](const std::string &line) { Log += line + "\n"; };
    return *P;
  }
  void Drop(const std::string &name, const std::string &bytes) {
    std::ofstream(Work + name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string &name) {
    if (::access((Work + name).c_str(), F_OK) != 0) return "<none>";
    return ReadFileBytes(Work + name);
  }
  // The work directory's entries but the Z reports' archives, or those alone.
  std::vector<std::string> Files(bool archives = false) {
    std::vector<std::string> v;
    for (const QString &f : QDir(QString::fromStdString(Work)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System))
      if (f.endsWith(".ARHIVA") == archives) v.push_back(f.toStdString());
    std::sort(v.begin(), v.end());
    return v;
  }
  void Faults(Sim::TFaults f) { Env.Sim.SetFaults(f); }
  std::vector<std::string> Sent() {
    return Env.Sim.WithEngine([](Sim::TEngine &e) {
      std::vector<std::string> v(e.Commands.begin(), e.Commands.end());
      e.Commands.clear();
      return v;
    });
  }
  bool HasPlu(int64_t cod) {
    return Env.Sim.WithEngine([&](Sim::TEngine &e) { return e.Tables.Plus.count(cod) > 0; });
  }

  TSimProgramDir Env;
  std::string Work;
  TOnlineSettings Settings;
  TProcessorOptions Options;
  std::unique_ptr<TCommandProcessor> P;
  std::string Log;
};

std::string Plu(int cod) { return std::to_string(cod) + ";\"PLU " + std::to_string(cod) + "\";;1;1;2.50;0;0"; }

}  // namespace

TEST_F(ProcessorTest, AListWhoseThirdLineIsRefusedKeepsTheFirstTwo) {
  Drop("WRITEPLU.TXT", Plu(101) + "\r\n" + Plu(102) + "\r\n" + Plu(103) + "\r\n" + Plu(104) + "\r\n" + Plu(105));
  Sim::TFaults f;
  f.RefuseWrite = 3;
  Faults(f);
  Make().Tick();
  EXPECT_EQ(Files(), std::vector<std::string>{"WRITEPLU.ERR"});
  EXPECT_EQ(Read("WRITEPLU.ERR"), "Operatie nereusita!\r\n");
  EXPECT_TRUE(HasPlu(101) && HasPlu(102));
  EXPECT_FALSE(HasPlu(103) || HasPlu(104) || HasPlu(105));
  EXPECT_EQ(Sent().size(), 3u);  // no closing command after the records
  EXPECT_NE(Log.find("WRITEPLU.TXT -> WRITEPLU.ERR: Operatie nereusita! (line 3, after 2 PLU programmed: "),
            std::string::npos)
      << Log;
}

TEST_F(ProcessorTest, AllCommandFilesOfATickInTheirOrderWhateverTheirCase) {
  const TLineList sales = Env.Report("RSZ000004");
  Drop("READZFORMEPLATA.TXT", "contents do not matter");
  Drop("readplusales.txt", "");
  Drop("WRITEPLU.TXT", Plu(7) + "\n\n5;-\n");
  Make().Tick();
  const std::vector<std::string> sent = Sent();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[0].rfind("U10000;7;", 0), 0u);
  EXPECT_EQ(sent[1], "U10000;-5");
  EXPECT_EQ(sent[2], "RSZ000004");
  EXPECT_EQ(sent[3], "RSX0001006");
  EXPECT_EQ(Files(), (std::vector<std::string>{"READPLUSALES.OK", "READZFORMEPLATA.OK", "WRITEPLU.OK"}));
  // The Z report (only that) is archived as received, and the log says where.
  const std::vector<std::string> archives = Files(true);
  ASSERT_EQ(archives.size(), 1u);
  EXPECT_EQ(archives[0].rfind("READPLUSALES-", 0), 0u) << archives[0];
  EXPECT_EQ(Read(archives[0]), JoinLinesCrLf(sales));
  EXPECT_NE(Log.find(" lines read, archived in " + Work + archives[0]), std::string::npos) << Log;
  EXPECT_EQ(Read("WRITEPLU.OK"), Plu(7) + "\r\n\r\n5;-\r\n");  // the list as read
  TLineList laidOut = sales;
  LayOutPluSales(laidOut);
  EXPECT_EQ(Read("READPLUSALES.OK"), JoinLinesCrLf(laidOut));
  EXPECT_EQ(Read("READZFORMEPLATA.OK"), JoinLinesCrLf(Env.Report("RSX0001006")));  // as sent
}

TEST_F(ProcessorTest, StructureAndConversionsOfThePluList) {
  const std::string tail = std::string(20, ';');
  struct TCase {
    const char *Name;
    std::string Bytes, Result, Contents;
    std::vector<std::string> Sent;
  };
  const TCase cases[] = {
      {"zero bytes", "", "WRITEPLU.ERR", "Structura fisierului este invalida\r\n", {}},
      {"only empty lines", "\r\n\n", "WRITEPLU.OK", "\r\n\r\n", {}},
      {"a bad line stops everything", Plu(1) + "\r\n5;x", "WRITEPLU.ERR", "Structura fisierului este invalida\r\n", {}},
      {"three fields", "5;-;", "WRITEPLU.ERR", "Structura fisierului este invalida\r\n", {}},
      // "U10000;-4;..." would delete PLU 4 in the register.
      {"a negative code", "-4;Apa;;1;1;1;0;0", "WRITEPLU.ERR", "Structura fisierului este invalida\r\n", {}},
      {"two deletes", "5;-\r\n6;-\r\n", "WRITEPLU.OK", "5;-\r\n6;-\r\n", {"U10000;-5", "U10000;-6"}},
      {"nine fields, quotes, a price that is no number",
       "17;\"Apa\";;2;1;abc;3,5;0;x",
       "WRITEPLU.OK",
       "17;\"Apa\";;2;1;abc;3,5;0;x\r\n",
       {"U10000;17;\"Apa\";\"\";2;;1;0,00;3,50" + tail + "0"}},
  };
  TCommandProcessor &p = Make();
  for (const TCase &c : cases) {
    Drop("WRITEPLU.TXT", c.Bytes);
    p.Tick();
    EXPECT_EQ(Files(), std::vector<std::string>{c.Result}) << c.Name;
    EXPECT_EQ(Read(c.Result), c.Contents) << c.Name;
    EXPECT_EQ(Sent(), c.Sent) << c.Name;
  }
}

TEST_F(ProcessorTest, AZReadCutOffMidAnswerIsKeptBeforeTheErrAppears) {
  const TLineList sales = Env.Report("RSZ000004");
  std::vector<std::string> written;  // in the order they were put in place
  SetAtomicReplaceHook([&](const std::string &temp) { written.push_back(temp.substr(temp.rfind('/') + 1)); });
  // Old results go before the read: after a failure only its ".ERR" is left.
  Drop("READPLUSALES.OK", "old sales\r\n");
  Drop("readplusales.err", "old error\r\n");
  TCommandProcessor &p = Make();
  for (const char *file : {"READPLUSALES.TXT", "READPLUSALES.TXT", "READPLUSALES_X.TXT"}) {
    Sim::TFaults f;
    f.SilentAfterFrame = 3;
    Faults(f);
    Drop(file, "");
    p.Tick();
  }
  SetAtomicReplaceHook({});
  std::vector<std::string> partial;
  for (const std::string &f : Files())
    if (f.size() > 8 && f.compare(f.size() - 8, 8, ".PARTIAL") == 0) partial.push_back(f);
  // Two cut-off Z reads, two files; the X read clears nothing and keeps none.
  ASSERT_EQ(partial.size(), 2u) << ::testing::PrintToString(Files());
  for (const std::string &f : partial) {
    EXPECT_EQ(f.rfind("READPLUSALES-", 0), 0u);
    EXPECT_EQ(Read(f), JoinLinesCrLf(TLineList(sales.begin(), sales.begin() + 3)));
  }
  // The lines were on disk before each was acknowledged (the journal): only
  // the results go through a replace.
  ASSERT_EQ(written.size(), 3u);
  EXPECT_EQ(written[0].rfind(".READPLUSALES.ERR.", 0), 0u) << written[0];
  EXPECT_EQ(Files().size(), 4u) << ::testing::PrintToString(Files());  // two kept, two ".ERR"
  EXPECT_EQ(Read("READPLUSALES.ERR"), "Operatie nereusita!\r\n");
  EXPECT_EQ(Read("READPLUSALES_X.ERR"), "Operatie nereusita!\r\n");
  EXPECT_NE(Log.find("casa de marcat nu a raspuns"), std::string::npos) << Log;
  EXPECT_NE(Log.find(" [8000])"), std::string::npos) << Log;
  EXPECT_NE(Log.find("the 3 lines received before the failure are saved in " + Work + partial[0]), std::string::npos)
      << Log;
}

TEST_F(ProcessorTest, AnOkThatCannotBeWrittenLeavesAZReportsLinesInAKeptFile) {
  // A directory of the result's name, and a result that fails as on a full disk.
  SetAtomicReplaceHook([](const std::string &temp) {
    if (temp.find("/.READZDISCOUNT.OK.") != std::string::npos) throw std::runtime_error("discul este plin");
  });
  const struct {
    const char *File, *Base, *Command;
    bool Kept;  // a Z report: cleared in the register
  } cases[] = {{"READPLUSALES.TXT", "READPLUSALES", "RSZ000004", true},
               {"READZDISCOUNT.TXT", "READZDISCOUNT", "RSZ0000009", true},
               {"READZFORMEPLATA.TXT", "READZFORMEPLATA", "RSX0001006", false}};
  TCommandProcessor &p = Make();
  for (const auto &c : cases) {
    const std::string base = c.Base;
    if (base != "READZDISCOUNT") {
      ASSERT_EQ(::mkdir((Work + base + ".OK").c_str(), 0755), 0);
    }
    const TLineList lines = Env.Report(c.Command);
    Log.clear();
    Drop(c.File, "");
    p.Tick();
    EXPECT_EQ(Read(base + ".ERR"), "Operatie nereusita!\r\n") << c.File;
    std::string kept;  // the report's archive
    for (const std::string &f : Files(true))
      if (f.rfind(base + "-", 0) == 0) kept = f;
    EXPECT_EQ(!kept.empty(), c.Kept) << c.File << " " << ::testing::PrintToString(Files());
    if (!kept.empty()) {
      EXPECT_EQ(Read(kept), JoinLinesCrLf(lines)) << c.File;
    }
    // One log line: the ".OK" could not be written, and where the lines are.
    const std::string said = std::string(c.File) + " -> " + base + ".ERR: Operatie nereusita! (" + base +
                             ".OK could not be written: ";
    EXPECT_NE(Log.find(said), std::string::npos) << Log;
    if (c.Kept) {
      EXPECT_NE(Log.find("lines of the report are kept in " + Work + kept + ")"), std::string::npos) << Log;
    }
    EXPECT_EQ(Log.find("lines read"), std::string::npos) << Log;
  }
  SetAtomicReplaceHook({});
}

TEST_F(ProcessorTest, APortThatDoesNotOpenIsAnsweredPerCommand) {
  Settings.PortOnline = 9;  // mapped nowhere
  Drop("WRITEPLU.TXT", Plu(1));
  Drop("READZDISCOUNT.TXT", "");
  Make().Tick();
  EXPECT_EQ(Read("WRITEPLU.ERR"), "Nu pot deschide portul serial\r\n");
  EXPECT_EQ(Read("READZDISCOUNT.ERR"), "Nu pot deschide portul serial !\r\n");
  EXPECT_NE(Log.find("COM9"), std::string::npos) << Log;
}

TEST_F(ProcessorTest, AListStillBeingWrittenIsWaitedForWithinTheWindow) {
  TCommandProcessor &p = Make();
  // Held with a lock of each kind, let go after 400 ms: read once free.
  for (int kind = 0; kind < 2; ++kind) {
    Drop("WRITEPLU.TXT", Plu(31 + kind));
    const int fd = ::open((Work + "WRITEPLU.TXT").c_str(), O_RDWR);
    struct flock lk {};
    lk.l_type = F_WRLCK;
    lk.l_whence = SEEK_SET;
    ASSERT_EQ(kind == 0 ? ::flock(fd, LOCK_EX) : ::fcntl(fd, F_OFD_SETLK, &lk), 0);
    QTimer::singleShot(400, [fd] { ::close(fd); });
    p.Tick();
    EXPECT_EQ(Read("WRITEPLU.OK"), Plu(31 + kind) + "\r\n") << kind;
  }
  // Still growing: read once it has been quiet, whole.
  Drop("WRITEPLU.TXT", Plu(40) + "\r\n");
  int more = 41;
  QTimer grow;
  QObject::connect(&grow, &QTimer::timeout, [&] {
    if (more <= 44) std::ofstream(Work + "WRITEPLU.TXT", std::ios::app) << Plu(more++) + "\r\n";
  });
  grow.start(40);
  p.Tick();
  EXPECT_EQ(Read("WRITEPLU.OK"), Plu(40) + "\r\n" + Plu(41) + "\r\n" + Plu(42) + "\r\n" + Plu(43) + "\r\n" + Plu(44) + "\r\n");
  grow.stop();
  // Held past the window: unreadable, and deleted like any command file.
  Drop("WRITEPLU.TXT", Plu(50));
  const int fd = ::open((Work + "WRITEPLU.TXT").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_SH), 0);
  p.Tick();
  ::close(fd);
  EXPECT_EQ(Files(), std::vector<std::string>{"WRITEPLU.ERR"});
  EXPECT_EQ(Read("WRITEPLU.ERR"), "Nu pot deschide fisierul WRITEPLU.TXT\r\n");
  EXPECT_NE(Log.find("its writer holds a lock on it (tried for 1500 ms)"), std::string::npos) << Log;
  EXPECT_FALSE(HasPlu(50));
}

TEST_F(ProcessorTest, WhatIsNoCommandFileIsAnsweredWithoutBeingRead) {
  Options.MaxFileBytes = 64;
  TCommandProcessor &p = Make();
  struct TCase {
    const char *Name;
    std::function<void()> Make;
  };
  const TCase cases[] = {
      {"a FIFO", [&] { ASSERT_EQ(::mkfifo((Work + "WRITEPLU.TXT").c_str(), 0644), 0); }},
      {"a link to a device", [&] { ASSERT_EQ(::symlink("/dev/null", (Work + "WRITEPLU.TXT").c_str()), 0); }},
      {"larger than the limit", [&] { Drop("WRITEPLU.TXT", Plu(1) + "\r\n" + Plu(2) + "\r\n" + Plu(3)); }},
  };
  for (const TCase &c : cases) {
    c.Make();
    p.Tick();
    EXPECT_EQ(Files(), std::vector<std::string>{"WRITEPLU.ERR"}) << c.Name;
    EXPECT_EQ(Read("WRITEPLU.ERR"), "Nu pot deschide fisierul WRITEPLU.TXT\r\n") << c.Name;
  }
  struct stat st {};
  EXPECT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  // A directory of a command's name cannot be deleted: answered once, not
  // carried out again every second.
  ::unlink((Work + "WRITEPLU.ERR").c_str());
  ASSERT_EQ(::mkdir((Work + "READPLUSALES.TXT").c_str(), 0755), 0);
  p.Tick();
  EXPECT_EQ(Read("READPLUSALES.ERR"), "Nu pot deschide fisierul READPLUSALES.TXT\r\n");
  ::unlink((Work + "READPLUSALES.ERR").c_str());
  p.Tick();
  EXPECT_EQ(Files(), std::vector<std::string>{"READPLUSALES.TXT"});
  EXPECT_TRUE(Sent().empty());
  EXPECT_NE(Log.find("READPLUSALES.TXT: cannot delete it"), std::string::npos) << Log;
}

TEST_F(ProcessorTest, AnUnexpectedErrorIsAnsweredAndEndsThePass) {
  // The count lives in the source itself, as tarvoctl online keeps its last
  // good settings there: whoever asks, it is the one source that is asked.
  P = std::make_unique<TCommandProcessor>(
      [this, calls = 0]() mutable {
        if (++calls == 2) throw std::runtime_error("setari pierdute");
        return Settings;
      },
      Options);
  P->OnLog = [this](const std::string &line) { Log += line + "\n"; };
  Drop("WRITEPLU.TXT", Plu(1));
  Drop("READZDISCOUNT.TXT", "");
  P->Tick();
  EXPECT_EQ(Files(), (std::vector<std::string>{"READZDISCOUNT.TXT", "WRITEPLU.ERR"}));
  EXPECT_EQ(Read("WRITEPLU.ERR"), "Operatie nereusita!\r\n");
  EXPECT_NE(Log.find("unexpected error: setari pierdute"), std::string::npos) << Log;
  EXPECT_FALSE(P->Busy());
  P->Tick();  // the rest comes up on the next tick
  EXPECT_EQ(Files(), (std::vector<std::string>{"READZDISCOUNT.OK", "WRITEPLU.ERR"}));
}

TEST_F(ProcessorTest, TheRealPauseHoldsTheBusyMarkAndNestedTicksReturn) {
  Options = TProcessorOptions{};  // the real one-second pause
  Options.Link.SilenceMs = 300;
  TCommandProcessor &p = Make();
  Drop("READZDISCOUNT.TXT", "");
  Drop("READZFORMEPLATA.TXT", "");
  int nested = 0, busy = 0;
  QTimer poke;
  QObject::connect(&poke, &QTimer::timeout, [&] {
    ++nested;
    busy += p.Busy();
    p.Tick();  // finds the busy mark and returns
  });
  poke.start(100);
  const auto start = std::chrono::steady_clock::now();
  p.Tick();
  const auto took = std::chrono::steady_clock::now() - start;
  poke.stop();
  EXPECT_GE(took, std::chrono::milliseconds(2000));  // a pause after each file
  EXPECT_GT(nested, 10);
  EXPECT_EQ(busy, nested);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"RSX0001006", "RSZ0000009"}));
  EXPECT_EQ(Files(), (std::vector<std::string>{"READZDISCOUNT.OK", "READZFORMEPLATA.OK"}));
}
