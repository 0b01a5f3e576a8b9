// The HTTP service end to end: a real HTTP client, the service in this
// process, the register simulator on a pseudo-terminal behind each project.
#include <QJsonArray>
#include <QProcess>

#include <future>
#include <sys/stat.h>

#include "AtomicFile.h"
#include "CodePage.h"
#include "RegisterReports.h"
#include "ServeFixture.h"

namespace {

using namespace std::chrono_literals;

const std::string V1 = "/v1/projects/Magazin";

std::string PluLines(int from, int to) {
  std::string list;
  for (int cod = from; cod <= to; ++cod) list += std::to_string(cod) + ";\"PLU " + std::to_string(cod) + "\";;1;1;2.50;0;0\r\n";
  return list;
}

std::vector<std::string> Strings(const QJsonValue &v) {
  std::vector<std::string> out;
  for (const QJsonValue &s : v.toArray()) out.push_back(s.toString().toStdString());
  return out;
}

std::string SimDeptName(TSimProgramDir &env, int cod) {
  return env.Sim.WithEngine([cod](Sim::TEngine &e) { return e.Tables.Depts[cod].Nume; });
}

bool SimHasPlu(Sim::TSimulator &sim, int64_t cod) {
  return sim.WithEngine([cod](Sim::TEngine &e) { return e.Tables.Plus.count(cod) > 0; });
}

// Waits (bounded) until what() holds.
template <class F>
bool Eventually(F what, std::chrono::milliseconds limit = 20s) {
  for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(10ms))
    if (what()) return true;
  return what();
}

class ServeTest : public ServeFixture {};

}  // namespace

TEST_F(ServeTest, TheTablesRowsOfTheContract) {
  TReply r = Get("/v1/projects");
  ASSERT_EQ(r.Status, 200) << r.Body;
  const QJsonObject p = r.Json["projects"].toArray().at(0).toObject();
  EXPECT_EQ(p["name"].toString(), "Magazin");
  EXPECT_EQ(p["port"].toInt(), TSimProgramDir::Com);
  EXPECT_EQ(p["baud"].toInt(), 57600);
  EXPECT_EQ(p["device"].toString().toStdString(), Env.Path() + "sim");
  EXPECT_FALSE(p["busy"].toBool());

  r = Send("POST", V1 + "/tables/dept/read");
  ASSERT_EQ(r.Status, 200) << r.Body;
  EXPECT_TRUE(r.Json["ok"].toBool()) << r.Body;
  r = Get(V1 + "/tables/dept");
  ASSERT_EQ(r.Status, 200);
  const std::vector<std::string> fields = Strings(r.Json["fields"]);
  ASSERT_EQ(r.Json["rows"].toArray().size(), 20);
  const int nume = int(std::find(fields.begin(), fields.end(), "Nume") - fields.begin());
  EXPECT_EQ(Strings(r.Json["rows"].toArray().at(1))[nume], "DEPARTAMENT 2");

  r = Send("PATCH", V1 + "/tables/dept/rows/2", R"({"Nume": "PÂINE ALBĂ"})");
  ASSERT_EQ(r.Status, 200) << r.Body;
  EXPECT_EQ(r.Json["row"].toObject()["Nume"].toString(), QString("PÂINE ALBĂ"));
  const std::string saved = ReadFileBytes(Project + "/Departamente.cds");
  r = Send("PATCH", V1 + "/tables/dept/rows/3", R"({"Nume": "DOI", "UM": "x"})");
  EXPECT_EQ(r.Status, 422) << r.Body;
  EXPECT_FALSE(r.Json["error"].toString().isEmpty());
  EXPECT_EQ(ReadFileBytes(Project + "/Departamente.cds"), saved) << "a refused change saves nothing";

  r = Send("POST", V1 + "/tables/dept/program-changed");
  ASSERT_EQ(r.Status, 200);
  EXPECT_TRUE(r.Json["ok"].toBool()) << r.Body;
  EXPECT_EQ(r.Json["rowsSent"].toInt(), 1);
  EXPECT_EQ(SimDeptName(Env, 2), FromUtf8("PÂINE ALBĂ"));

  Env.Sim.WithEngine([](Sim::TEngine &e) { e.Tables.Depts[3].Nume = "ALTUL"; });
  r = Send("POST", V1 + "/tables/dept/verify");
  ASSERT_EQ(r.Status, 200);
  EXPECT_FALSE(r.Json["ok"].toBool());
  EXPECT_EQ(Strings(r.Json["differences"]),
            std::vector<std::string>{"Cod 3: Nume: project \"DEPARTAMENT 3\", register \"ALTUL\""});

  r = Send("POST", V1 + "/tables/dept/program");
  EXPECT_TRUE(r.Json["ok"].toBool()) << r.Body;
  EXPECT_EQ(SimDeptName(Env, 3), "DEPARTAMENT 3");

  // A refusal names the row, as tarvoctl does under its message.
  Sim::TFaults refuse;
  refuse.RefuseWrite = 2;
  Env.Sim.SetFaults(refuse);
  r = Send("POST", V1 + "/tables/dept/program");
  EXPECT_FALSE(r.Json["ok"].toBool());
  EXPECT_EQ(r.Json["message"].toString(), "Operatie nereusita!");
  EXPECT_EQ(r.Json["row"].toString(), "2");
}

TEST_F(ServeTest, APluListIsAnsweredAsTheCommandFileWouldBe) {
  TReply r = Send("POST", V1 + "/plu", PluLines(201, 203), "", "text/plain; charset=utf-8");
  ASSERT_EQ(r.Status, 200) << r.Body;
  EXPECT_TRUE(r.Json["ok"].toBool()) << r.Body;
  EXPECT_EQ(r.Json["programmed"].toInt(), 3);
  EXPECT_TRUE(SimHasPlu(Env.Sim, 203));

  // The same name in either charset reaches the register as the same bytes.
  r = Send("POST", V1 + "/plu", "204;\"ŞUNCĂ\";;1;1;2.50;0;0", "", "text/plain; charset=utf-8");
  EXPECT_TRUE(r.Json["ok"].toBool()) << r.Body;
  r = Send("POST", V1 + "/plu", "205;\"\xAA" "UNC\xC3\";;1;1;2.50;0;0", "", "text/plain; charset=windows-1250");
  EXPECT_TRUE(r.Json["ok"].toBool()) << r.Body;
  Env.Sim.WithEngine([](Sim::TEngine &e) { EXPECT_EQ(e.Tables.Plus[204].Nume, e.Tables.Plus[205].Nume); });

  const uint64_t frames = FramesIn();
  r = Send("POST", V1 + "/plu", "206;\"A\";;1;1;2.50;0;0\r\n207;\"B\"\r\n", "", "text/plain");
  EXPECT_FALSE(r.Json["ok"].toBool());
  EXPECT_EQ(r.Json["message"].toString(), "Structura fisierului este invalida");
  EXPECT_EQ(r.Json["line"].toInt(), 2);
  EXPECT_EQ(FramesIn(), frames) << "a list refused whole sends nothing";
}

TEST_F(ServeTest, ReportsAndTheZArchive) {
  TReply r = Send("POST", V1 + "/reports/payments");
  ASSERT_EQ(r.Status, 200) << r.Body;
  EXPECT_TRUE(r.Json["ok"].toBool());
  EXPECT_EQ(Strings(r.Json["lines"]), Env.Report("RSX0001006"));
  EXPECT_TRUE(r.Json["archive"].isNull());

  // A Z read that breaks off: the lines that came are kept, and said where;
  // the register resets nothing then.
  Sim::TFaults silent;
  silent.SilentAfterFrame = 3;
  Env.Sim.SetFaults(silent);
  r = Send("POST", V1 + "/reports/plu-sales", R"({"reset": true})", "z-1");
  ASSERT_EQ(r.Status, 200) << r.Body;
  EXPECT_FALSE(r.Json["ok"].toBool());
  const std::vector<std::string> got = Strings(r.Json["lines"]);
  EXPECT_FALSE(got.empty());
  const std::string partial = r.Json["archive"].toString().toStdString();
  EXPECT_NE(partial.find("VanzariPLU-incomplet-"), std::string::npos) << r.Body;
  EXPECT_EQ(ReadFileBytes(partial), JoinLinesCrLf(got));
  Env.Sim.SetFaults({});

  const TLineList sales = Env.Report("RSZ000004");
  r = Send("POST", V1 + "/reports/plu-sales", R"({"reset": true})", "z-2");
  ASSERT_EQ(r.Status, 200) << r.Body;
  EXPECT_TRUE(r.Json["ok"].toBool()) << r.Body;
  EXPECT_EQ(Strings(r.Json["lines"]), ReportText(PluSalesTitle, sales));
  const std::string archive = r.Json["archive"].toString().toStdString();
  EXPECT_EQ(archive.rfind(Project + "/VanzariPLU-2", 0), 0u) << archive;
  EXPECT_EQ(ReadFileBytes(archive), JoinLinesCrLf(sales));
}

TEST_F(ServeTest, APostWithoutABodyIsAnsweredAtOnce) {
  // curl -X POST sends neither Content-Length nor a body.
  QProcess curl;
  curl.start("curl", {"-s", "-m", "4", "-X", "POST",
                      QString("http://127.0.0.1:%1/v1/projects/Magazin/reports/drawer").arg(Service->Port())});
  ASSERT_TRUE(curl.waitForFinished(10000));
  const QJsonObject body = QJsonDocument::fromJson(curl.readAllStandardOutput()).object();
  EXPECT_EQ(curl.exitCode(), 0);
  EXPECT_TRUE(body["ok"].toBool());
  EXPECT_FALSE(body["lines"].toArray().isEmpty());
}

TEST_F(ServeTest, AZReportNeedsAKeyAndAnOutrightReset) {
  const uint64_t frames = FramesIn();
  TReply r = Send("POST", V1 + "/reports/plu-sales", R"({"reset": true})");
  EXPECT_EQ(r.Status, 428) << r.Body;
  for (const char *body : {"", "{}", R"({"reset": "true"})"}) {
    r = Send("POST", V1 + "/reports/plu-sales", body, "z-3");
    EXPECT_EQ(r.Status, 400) << body;
  }
  EXPECT_EQ(FramesIn(), frames) << "nothing was sent";
}

TEST_F(ServeTest, ARepeatedKeyGetsTheFirstAnswerWithoutActingAgain) {
  const std::string list = PluLines(211, 212);
  const TReply first = Send("POST", V1 + "/plu", list, "k-1", "text/plain");
  ASSERT_EQ(first.Status, 200);
  const uint64_t frames = FramesIn();
  for (int restart = 0; restart < 2; ++restart) {
    const TReply again = Send("POST", V1 + "/plu", list, "k-1", "text/plain");
    EXPECT_EQ(again.Status, 200);
    EXPECT_EQ(again.Body, first.Body);
    EXPECT_EQ(again.Headers.count("Idempotent-Replayed"), 1u);
    EXPECT_EQ(FramesIn(), frames) << "a replay sends nothing";
    EXPECT_EQ(Send("POST", V1 + "/plu", PluLines(213, 213), "k-1", "text/plain").Status, 422);
    EXPECT_EQ(Send("POST", V1 + "/tables/dept/read", "", "k-1").Status, 422);
    // The answers are on disk: a restarted service still has them.
    StopService();
    StartService();
  }
  // A key belongs to its project.
  MakeProject("Depozit");
  EXPECT_EQ(Send("POST", "/v1/projects/Depozit/plu", list, "k-1", "text/plain").Json["ok"].toBool(), true);
  EXPECT_GT(FramesIn(), frames);
}

TEST_F(ServeTest, RefusalsTouchNeitherTheRegisterNorAFile) {
  struct TCase {
    const char *Method;
    std::string Path;
    std::string Body;
    const char *ContentType;
    int Status;
  };
  const TCase cases[] = {
      {"GET", "/v2/projects", "", "", 404},
      {"GET", "/v1/projects/Lipsa/tables/dept", "", "", 404},
      {"GET", "/v1/projects/%2E%2E/tables/dept", "", "", 404},
      {"GET", "/v1/projects/..%2Ftmp/tables/dept", "", "", 404},
      {"GET", V1 + "/tables/mese", "", "", 404},
      {"POST", V1 + "/tables/dept/sterge", "", "application/json", 404},
      {"POST", V1 + "/reports/lunar", "", "application/json", 404},
      {"PATCH", V1 + "/tables/dept/rows/abc", R"({"Nume": "X"})", "application/json", 404},
      {"GET", V1 + "/plu", "", "", 405},
      {"DELETE", "/v1/projects", "", "", 405},
      {"POST", V1 + "/tables/dept", "", "application/json", 405},
      {"POST", V1 + "/tables/dept/read", "{", "application/json", 400},
      {"POST", V1 + "/tables/dept/read", "[1]", "application/json", 400},
      {"PATCH", V1 + "/tables/dept/rows/2", "{}", "application/json", 400},
      {"PATCH", V1 + "/tables/dept/rows/2", R"({"Nume": true})", "application/json", 400},
      {"PATCH", V1 + "/tables/dept/rows/999", R"({"Nume": "X"})", "application/json", 404},
      {"PATCH", V1 + "/tables/dept/rows/2", R"({"Culoare": "X"})", "application/json", 422},
      {"PATCH", V1 + "/tables/dept/rows/2", R"({"Nume": "日本"})", "application/json", 422},
      {"PATCH", V1 + "/tables/param/rows/1", R"({"P21": 3})", "application/json", 409},
      {"POST", V1 + "/plu", "1;\"A\";;1;1;1;0;0", "application/json", 415},
      {"POST", V1 + "/plu", "1;\"A\";;1;1;1;0;0", "text/plain; charset=latin-9", 415},
      {"POST", V1 + "/plu", "1;\"\xFF\";;1;1;1;0;0", "text/plain; charset=utf-8", 400},
      {"POST", V1 + "/plu", PluLines(1, 4000), "text/plain", 413},
      {"POST", V1 + "/tables/dept/read", "", "application/json", 0},  // a key too long, below
  };
  StopService();
  TServeOptions small;
  small.MaxBodyBytes = 64 * 1024;
  StartService(small);
  const uint64_t frames = FramesIn();
  const std::string files = ReadFileBytes(Project + "/setari.cds");
  for (const TCase &c : cases) {
    const bool longKey = c.Status == 0;
    httplib::Client client("127.0.0.1", Service->Port());
    httplib::Request req;
    req.method = c.Method;
    req.path = c.Path;
    req.body = c.Body;
    if (*c.ContentType) req.set_header("Content-Type", c.ContentType);
    if (longKey) req.set_header("Idempotency-Key", std::string(256, 'k'));
    const httplib::Result res = client.send(req);
    ASSERT_TRUE(res) << c.Method << " " << c.Path;
    EXPECT_EQ(res->status, longKey ? 400 : c.Status) << c.Method << " " << c.Path << ": " << res->body;
    const QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(res->body)).object();
    EXPECT_FALSE(body["error"].toString().isEmpty()) << c.Path << ": " << res->body;
    if (c.Status == 405) {
      EXPECT_FALSE(res->get_header_value("Allow").empty());
    }
  }
  EXPECT_EQ(FramesIn(), frames);
  EXPECT_EQ(ReadFileBytes(Project + "/setari.cds"), files);
  struct stat st {};
  EXPECT_NE(::stat((Project + "/Departamente.cds").c_str(), &st), 0) << "no table file was made";
  EXPECT_NE(::stat((Env.Path() + "tmp").c_str(), &st), 0);
}

TEST_F(ServeTest, OneRegisterAtATimeInOrderAndTwoRegistersAtOnce) {
  Sim::TSimulator second;
  std::string err;
  ASSERT_TRUE(second.Start(Env.Path() + "sim2", err)) << err;
  WriteFileAtomic(TarvoIniPath(), "[Porturi]\r\nCOM3=sim\r\nCOM4=sim2\r\n");
  MakeProject("Depozit", 4);
  Sim::TFaults slow;
  slow.Baud = 4800;  // a record takes about 150 ms
  Env.Sim.SetFaults(slow);
  second.SetFaults(slow);

  auto post = [this](const std::string &project, int from, int to) {
    return std::async(std::launch::async, [=, this] {
      return Send("POST", "/v1/projects/" + project + "/plu", PluLines(from, to), "", "text/plain");
    });
  };
  auto a1 = post("Magazin", 301, 306);
  ASSERT_TRUE(Eventually([&] { return Env.Sim.Stats().Records >= 1; }));
  auto a2 = post("Magazin", 311, 316);
  auto b = post("Depozit", 401, 406);
  // The second register starts while the first is still busy.
  ASSERT_TRUE(Eventually([&] { return second.Stats().Records >= 1; }));
  EXPECT_EQ(a1.wait_for(0s), std::future_status::timeout) << "the first register finished before the second began";
  const TReply busy = Get("/v1/projects");
  for (const QJsonValue &p : busy.Json["projects"].toArray())
    EXPECT_TRUE(p.toObject()["busy"].toBool()) << p.toObject()["name"].toString().toStdString();

  for (auto *f : {&a1, &a2, &b}) EXPECT_TRUE(f->get().Json["ok"].toBool());
  // One register's two lists went one after the other, in arrival order.
  std::vector<std::string> codes;
  Env.Sim.WithEngine([&](Sim::TEngine &e) {
    for (const std::string &c : e.Commands)
      if (c.rfind("U10000;3", 0) == 0) codes.push_back(c.substr(7, 3));
  });
  const std::vector<std::string> expected = {"301", "302", "303", "304", "305", "306",
                                             "311", "312", "313", "314", "315", "316"};
  EXPECT_EQ(codes, expected);
  EXPECT_TRUE(SimHasPlu(second, 406));
  Env.Sim.SetFaults({});
  StopService();
  second.Stop();
}

TEST_F(ServeTest, AWaitLongerThanTheQueueTimeoutIs503AndNeverRuns) {
  StopService();
  TServeOptions quick;
  quick.QueueTimeout = 1s;
  StartService(quick);
  Sim::TFaults slow;
  slow.Baud = 4800;
  Env.Sim.SetFaults(slow);
  auto first = std::async(std::launch::async, [this] { return Send("POST", V1 + "/plu", PluLines(501, 515), "", "text/plain"); });
  ASSERT_TRUE(Eventually([&] { return Env.Sim.Stats().Records >= 1; }));
  const TReply late = Send("POST", V1 + "/plu", PluLines(601, 601), "late", "text/plain");
  EXPECT_EQ(late.Status, 503) << late.Body;
  EXPECT_EQ(late.Headers.count("Retry-After"), 1u);
  EXPECT_TRUE(first.get().Json["ok"].toBool());
  EXPECT_FALSE(SimHasPlu(Env.Sim, 601));
  // Its key was let go: the request can be made again.
  Env.Sim.SetFaults({});
  EXPECT_TRUE(Send("POST", V1 + "/plu", PluLines(601, 601), "late", "text/plain").Json["ok"].toBool());
}

TEST_F(ServeTest, AClientThatHangsUpDoesNotStopTheAction) {
  Sim::TFaults slow;
  slow.Baud = 4800;
  Env.Sim.SetFaults(slow);
  {
    httplib::Client impatient("127.0.0.1", Service->Port());
    impatient.set_read_timeout(0, 300000);
    httplib::Headers key{{"Idempotency-Key", "gone"}};
    EXPECT_FALSE(impatient.Post((V1 + "/plu").c_str(), key, PluLines(701, 706), "text/plain"));
  }
  ASSERT_TRUE(Eventually([&] { return Env.Sim.Stats().Records >= 6; }));
  TReply r;
  ASSERT_TRUE(Eventually([&] { return (r = Send("POST", V1 + "/plu", PluLines(701, 706), "gone", "text/plain")).Status != 409; }));
  EXPECT_EQ(r.Status, 200) << r.Body;
  EXPECT_EQ(r.Json["programmed"].toInt(), 6);
  EXPECT_EQ(r.Headers.count("Idempotent-Replayed"), 1u);
  EXPECT_EQ(Env.Sim.Stats().Records, 6u);
}
