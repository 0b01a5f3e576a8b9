// tarvoctl online as a shop server runs it: a process of its own, stopped by
// a signal, refusing to start on a directory it cannot work.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <QFile>
#include <QProcess>

#include "AtomicFile.h"
#include "SimProgramDir.h"
#include "WorkDirLock.h"
#include "ScratchDir.h"

namespace {

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The program reads TARVOPROG.INI beside its executable.
    Exe = Env.LinkProgram(TARVOCTL_PATH);
    Work = Env.Path() + "work/";
    ASSERT_EQ(::mkdir(Work.c_str(), 0755), 0);
    Ini("work");
  }
  void Ini(const std::string &dir) {
    WriteFileAtomic(Env.Path() + "TARVOPROG.INI", "[Porturi]\r\nCOM3=sim\r\n[Configurari]\r\nPortOnline=3\r\n"
                                                  "DirectorLucru=" + dir + "\r\nOnlineActiv=N\r\n");
  }
  // Starts the service and waits until it watches the directory.
  bool Start(QProcess &p) {
    p.start(QString::fromStdString(Exe), {"online", "--timeout", "500"});
    for (int i = 0; i < 500 && p.state() != QProcess::NotRunning; ++i) {
      p.waitForFinished(20);
      Err += p.readAllStandardError().toStdString();
      if (Err.find("watching") != std::string::npos) return true;
    }
    return false;
  }
  int Finish(QProcess &p) {
    EXPECT_TRUE(p.waitForFinished(30000));
    Err += p.readAllStandardError().toStdString();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }
  std::string Read(const std::string &name) { return ReadFileBytes(Work + name); }

  TSimProgramDir Env;
  std::string Exe, Work, Err;
};

}  // namespace

TEST_F(ServiceTest, ASignalInTheMiddleOfACommandFinishesItFirst) {
  Sim::TFaults slow;
  slow.Baud = 4800;  // about 140 ms a record
  Env.Sim.SetFaults(slow);
  std::string list;
  for (int cod = 201; cod <= 230; ++cod) list += std::to_string(cod) + ";\"PLU\";;1;1;2.50;0;0\r\n";
  std::ofstream(Work + "WRITEPLU.TXT", std::ios::binary) << list;
  std::ofstream(Work + "READZDISCOUNT.TXT") << "";

  QProcess p;
  ASSERT_TRUE(Start(p)) << Err;
  for (int i = 0; i < 1000 && Env.Sim.Stats().Records < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_GE(Env.Sim.Stats().Records, 3u);
  p.terminate();  // SIGTERM
  EXPECT_EQ(Finish(p), 0) << Err;

  EXPECT_EQ(Read("WRITEPLU.OK"), list);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Work + "WRITEPLU.TXT")));
  EXPECT_EQ(Env.Sim.Stats().Records, 30u);
  // Nothing new was taken up after the signal.
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Work + "READZDISCOUNT.TXT")));
  const size_t stopping = Err.find("stopping after the command file in progress");
  const size_t done = Err.find("WRITEPLU.TXT -> WRITEPLU.OK: 30 PLU programmed");
  const size_t stopped = Err.find("online: stopped");
  EXPECT_TRUE(stopping < done && done < stopped && stopped != std::string::npos) << Err;

  // Idle, SIGINT ends it at once; the file left waits for the next start.
  QProcess again;
  Err.clear();
  ASSERT_TRUE(Start(again)) << Err;
  for (int i = 0; i < 300 && !QFile::exists(QString::fromStdString(Work + "READZDISCOUNT.OK")); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ::kill(pid_t(again.processId()), SIGINT);
  EXPECT_EQ(Finish(again), 0) << Err;
  EXPECT_NE(Err.find("READZDISCOUNT.TXT -> READZDISCOUNT.OK"), std::string::npos) << Err;
}

TEST_F(ServiceTest, ADirectoryItCannotWorkIsAClearRefusal) {
  struct TCase {
    const char *Name;
    std::string Dir;
    QStringList Args;
    int Status;
    const char *Says;
  };
  TWorkDirLock held;
  ASSERT_EQ(held.Acquire(Work, nullptr), TWorkDirLock::Locked);
  const TCase cases[] = {
      {"missing", "lipsa", {"online"}, 1, "cannot use the work directory"},
      {"a file", "TARVOPROG.INI", {"online"}, 1, "o parte a caii nu este un director"},
      {"worked by another", "work", {"online"}, 1, "is already worked by another processor"},
      {"words", "work", {"online", "acum"}, 2, "online takes no words"},
  };
  for (const TCase &c : cases) {
    Ini(c.Dir);
    QProcess p;
    p.start(QString::fromStdString(Exe), c.Args);
    Err.clear();
    EXPECT_EQ(Finish(p), c.Status) << c.Name;
    EXPECT_NE(Err.find(c.Says), std::string::npos) << c.Name << ": " << Err;
  }
}
