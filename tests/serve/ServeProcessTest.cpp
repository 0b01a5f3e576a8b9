// tarvoctl serve as a shop server runs it: a process of its own, refusing an
// address other machines reach without a token, stopped by a signal.
#include <QProcess>

#include <csignal>
#include <fstream>
#include <future>
#include <regex>

#include "ServeFixture.h"

namespace {

using namespace std::chrono_literals;

class ServeProcessTest : public ServeFixture {
 protected:
  QStringList Args(QStringList words) { return QStringList{"--home", QString::fromStdString(Env.Path()), "serve"} + words; }
  // Starts tarvoctl serve and waits for the port it listens on; 0 when it
  // did not start.
  int Start(QProcess &p, const QStringList &words) {
    p.start(TARVOCTL_PATH, Args(words));
    const std::regex listening("listening on 127\\.0\\.0\\.1:([0-9]+)");
    for (int i = 0; i < 500 && p.state() != QProcess::NotRunning; ++i) {
      p.waitForReadyRead(20);
      Err += p.readAllStandardError().toStdString();
      std::smatch m;
      if (std::regex_search(Err, m, listening)) return std::stoi(m[1]);
    }
    return 0;
  }
  int Finish(QProcess &p) {
    EXPECT_TRUE(p.waitForFinished(30000));
    Err += p.readAllStandardError().toStdString();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }
  std::string Err;
};

}  // namespace

TEST_F(ServeProcessTest, AnAddressOtherMachinesReachNeedsAToken) {
  struct TCase {
    QStringList Words;
    int Status;
    const char *Says;
  };
  const TCase cases[] = {
      {{"--listen", "0.0.0.0:0"}, 2, "give --token-file"},
      {{"--listen", "[::]:0"}, 2, "give --token-file"},
      {{"--listen", "127.0.0.1"}, 2, "HOST:PORT"},
      {{"--listen", "0.0.0.0:0", "--token-file", "/nonexistent/token"}, 1, "cannot read the token file"},
      {{"--queue-timeout", "0"}, 2, "--queue-timeout"},
  };
  for (const TCase &c : cases) {
    QProcess p;
    p.start(TARVOCTL_PATH, Args(c.Words));
    Err.clear();
    EXPECT_EQ(Finish(p), c.Status) << c.Words.join(' ').toStdString();
    EXPECT_NE(Err.find(c.Says), std::string::npos) << Err;
  }
}

TEST_F(ServeProcessTest, ATokenIsAskedForAndNeverLogged) {
  const std::string token = "s3cret-Token_42";
  std::ofstream(Env.Path() + "token") << token << "\r\n";
  QProcess p;
  const int port = Start(p, {"--listen", "127.0.0.1:0", "--token-file", QString::fromStdString(Env.Path() + "token")});
  ASSERT_GT(port, 0) << Err;
  httplib::Client client("127.0.0.1", port);
  EXPECT_EQ(client.Get("/v1/projects")->status, 401);
  EXPECT_EQ(client.Get("/v1/projects", {{"Authorization", "Bearer s3cret-Token_4"}})->status, 401);
  EXPECT_EQ(client.Get("/v1/projects", {{"Authorization", "Bearer " + token}})->status, 200);
  p.terminate();
  EXPECT_EQ(Finish(p), 0) << Err;
  EXPECT_NE(Err.find("GET /v1/projects 401"), std::string::npos) << Err;
  EXPECT_NE(Err.find("GET /v1/projects 200"), std::string::npos) << Err;
  EXPECT_EQ(Err.find(token.substr(0, 6)), std::string::npos) << Err;
}

TEST_F(ServeProcessTest, ASignalLetsTheRunningActionFinishAndAnswer) {
  StopService();  // the process is the service here
  Sim::TFaults slow;
  slow.Baud = 4800;
  Env.Sim.SetFaults(slow);
  QProcess p;
  const int port = Start(p, {"--listen", "127.0.0.1:0"});
  ASSERT_GT(port, 0) << Err;
  std::string list;
  for (int cod = 801; cod <= 806; ++cod) list += std::to_string(cod) + ";\"PLU\";;1;1;2.50;0;0\r\n";
  auto answer = std::async(std::launch::async, [&] {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(60, 0);
    auto res = client.Post("/v1/projects/Magazin/plu", list, "text/plain");
    return res ? res->status : -1;
  });
  for (int i = 0; i < 1000 && Env.Sim.Stats().Records < 2; ++i) std::this_thread::sleep_for(10ms);
  ASSERT_GE(Env.Sim.Stats().Records, 2u);
  ::kill(pid_t(p.processId()), SIGINT);
  EXPECT_EQ(answer.get(), 200);
  EXPECT_EQ(Finish(p), 0) << Err;
  EXPECT_EQ(Env.Sim.Stats().Records, 6u);
  const size_t stopping = Err.find("stopping");
  const size_t answered = Err.find("POST /v1/projects/Magazin/plu 200");
  const size_t stopped = Err.find("serve: stopped");
  EXPECT_TRUE(stopping < answered && answered < stopped && stopped != std::string::npos) << Err;
}
