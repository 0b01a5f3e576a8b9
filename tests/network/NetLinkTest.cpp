// The register behind a real ser2net, over tcp:// and rfc2217:// with the
// server at its defaults: reads, writes, a byte 0xFF each way, a PLU
// programming run through a mapped COM port, and a server killed mid-read.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <QProcess>

#include "AtomicFile.h"
#include "ProgramDir.h"
#include "RegisterLink.h"
#include "RunProgram.h"
#include "ScratchDir.h"
#include "Ser2net.h"
#include "Simulator.h"
#include "TarvoCore.h"

namespace {

using Clock = std::chrono::steady_clock;

class NetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TSer2net::Installed())
      GTEST_SKIP() << "ser2net is not installed (Debian package ser2net, installed by scripts/deps.sh)";
    std::string why;
    ASSERT_TRUE(Sim.Start(Dir.Path() + "/reg", why)) << why;
    StartServer();
  }
  void StartServer() {
    std::string why;
    ASSERT_TRUE(Server.Start(Dir.Path() + "/reg", Dir.Path(), why)) << why;
  }
  std::vector<std::string> Urls() const { return {Server.TcpUrl(), Server.Rfc2217Url()}; }
  std::vector<std::string> Expected(const std::string &command) {
    return Sim.WithEngine([&](Sim::TEngine &e) {
      std::vector<std::string> lines;
      e.Tables.ReadTable(command, lines);
      return lines;
    });
  }
  // tarvoctl in the scratch program directory.
  TRun Ctl(const QStringList &args, int timeoutMs = 30000) {
    QStringList all{"--home", QString::fromStdString(Dir.Path())};
    return RunProgram(TARVOCTL_PATH, all + args, timeoutMs);
  }

  TScratchDir Dir;
  Sim::TSimulator Sim;
  TSer2net Server;
};

}  // namespace

TEST_F(NetTest, ReadWriteAndAByteFFEachWayOverBothSchemes) {
  // 0xFF is IAC to Telnet: doubled on the way out, and the register's
  // run-length "FF 01" for it comes back doubled too.
  const std::string name("CAFEA \xFF", 7);
  // The server takes one connection at a time: each link is closed
  // (destroyed) before the next one opens.
  auto read = [&](const std::string &url, const std::string &command, TTARVO &link) {
    TLinkOptions options;
    options.Device = url;
    std::string reason;
    TLineList lines;
    EXPECT_TRUE(ConnectLink(link, {1, 2}, options, &reason)) << reason;  // 38400 bit/s
    EXPECT_TRUE(link.ReadLines(command, lines)) << link.LastError();
    return lines;
  };
  for (const std::string &url : Urls()) {
    SCOPED_TRACE(url);
    // Both of the server's ports lead to the one device, which it releases
    // a moment after the last connection closed.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    {
      TTARVO reader(false);
      EXPECT_EQ(read(url, "D5000", reader), Expected("D5000"));
    }
    {
      TTARVO writer(true);
      TLinkOptions options;
      options.Device = url;
      std::string reason;
      ASSERT_TRUE(ConnectLink(writer, {1, 3}, options, &reason)) << reason;
      TPluRec p{};
      p.Cod = 4242;
      p.Nume = name;
      p.CodDep = 1;
      p.CodUM = 1;
      p.Pret1 = 2.5;
      p.Nou = true;
      ASSERT_TRUE(writer.SendRecord(rkPlu, &p)) << writer.LastError();
    }
    EXPECT_EQ(Sim.WithEngine([](Sim::TEngine &e) { return e.Tables.Plus.at(4242).Nume; }), name);
    TTARVO reader(false);
    const TLineList lines = read(url, "D10000", reader);
    EXPECT_EQ(lines, Expected("D10000"));
    bool found = false;
    for (const std::string &l : lines) found = found || l.find(name) != std::string::npos;
    EXPECT_TRUE(found);
    // A second client while this one holds the line: refused in the server's words.
    TTARVO other(false);
    TLinkOptions options;
    options.Device = url;
    std::string reason;
    EXPECT_FALSE(ConnectLink(other, {1, 3}, options, &reason));
    EXPECT_NE(reason.find(url + ": serverul a inchis conexiunea la deschidere, spunand \"Port already in use\""),
              std::string::npos)
        << reason;
    Sim.WithEngine([](Sim::TEngine &e) { e.Tables.Plus.erase(4242); });
  }
}

// The window's and the command line's way: COM2 mapped to the server, the
// project set to COM2; a PLU list imported and programmed, the departments
// read, and the map shown with whether each address answers.
TEST_F(NetTest, TarvoctlThroughAMappedComPort) {
  ASSERT_EQ(Ctl({"project", "create", "Net"}).Status, 0);
  ASSERT_EQ(Ctl({"--project", "Net", "settings", "--port", "2"}).Status, 0);
  const std::string list = Dir.Path() + "/plu.txt";
  WriteFileAtomic(list, "101;PAINE;;1;1;3.50;0;0\r\n102;LAPTE \xFF;;1;1;6.20;0;0\r\n103;OUA;;2;1;1.10;0;0\r\n");
  ASSERT_EQ(Ctl({"--project", "Net", "plu", "import", QString::fromStdString(list)}).Status, 0);
  for (const std::string &url : Urls()) {
    SCOPED_TRACE(url);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the device is released
    Sim.WithEngine([](Sim::TEngine &e) { e.Tables.Plus.clear(); });
    TRun r = Ctl({"ports", "map", "COM2", QString::fromStdString(url)});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "COM2=" + url + "\n");
    r = Ctl({"--project", "Net", "plu", "program"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto plus = Sim.WithEngine([](Sim::TEngine &e) { return e.Tables.Plus; });
    ASSERT_EQ(plus.size(), 3u);
    EXPECT_EQ(plus.at(102).Nume, "LAPTE \xFF");
    r = Ctl({"--project", "Net", "dept", "read"});
    EXPECT_EQ(r.Status, 0) << r.Err;
  }
  // ports: the mapping, and whether the address answers.
  const int nobody = FreeLoopbackPort();
  ASSERT_EQ(Ctl({"ports", "map", "COM4", QString::fromStdString("tcp://127.0.0.1:" + std::to_string(nobody))}).Status, 0);
  const TRun r = Ctl({"ports"});
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("COM2   " + Server.Rfc2217Url()), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("[Porturi] answers"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("does not answer: tcp://127.0.0.1:" + std::to_string(nobody) + ": conexiune refuzata"),
            std::string::npos)
      << r.Out;
}

// The server dies while a read waits for the next frame (the register has
// gone quiet): the read ends at once with the line lost, well inside the
// real five-second silence, and the table file stays as it was.
TEST_F(NetTest, AServerKilledMidReadIsTheLineLostAndTheFileStays) {
  ASSERT_EQ(Ctl({"project", "create", "Net"}).Status, 0);
  ASSERT_EQ(Ctl({"--project", "Net", "settings", "--port", "1"}).Status, 0);
  for (int scheme = 0; scheme < 2; ++scheme) {
    const std::string url = Urls()[size_t(scheme)];
    SCOPED_TRACE(url);
    Sim.SetFaults({});
    TRun r = Ctl({"--device", QString::fromStdString(url), "--project", "Net", "dept", "read"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const std::string file = Dir.Path() + "/Net/Departamente.cds";
    const std::string before = ReadFileBytes(file);
    ASSERT_FALSE(before.empty());

    Sim::TFaults quiet;
    quiet.SilentAfterFrame = 3;
    Sim.SetFaults(quiet);
    const uint64_t acks = Sim.Stats().AcksIn;
    QProcess p;
    p.start(TARVOCTL_PATH, {"--home", QString::fromStdString(Dir.Path()), "--device", QString::fromStdString(url),
                            "--project", "Net", "dept", "read"});
    for (int i = 0; i < 500 && Sim.Stats().AcksIn < acks + 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_GE(Sim.Stats().AcksIn, acks + 3);
    Server.Kill();
    const auto killed = Clock::now();
    ASSERT_TRUE(p.waitForFinished(10000));
    const auto took = Clock::now() - killed;
    EXPECT_LT(took, std::chrono::milliseconds(2000));
    EXPECT_EQ(p.exitCode(), 1);
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_NE(err.find(url + ": conexiunea s-a inchis; verificati reteaua si reluati operatia [8050, errno "), std::string::npos) << err;
    EXPECT_EQ(ReadFileBytes(file), before);
    StartServer();
  }
}
