#include "ServeFixture.h"

#include <mutex>

#include "Projects.h"
#include "SerialSettings.h"

namespace {
std::mutex LogMutex;
}

void ServeFixture::SetUp() {
  Project = MakeProject("Magazin");
  StartService();
}

std::string ServeFixture::MakeProject(const std::string &name, int com) {
  const QString problem = CreateProjectDirectory(ProgramDir(), QString::fromStdString(name));
  EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
  const std::string dir = Env.Path() + name;
  SaveSerialSettings(dir, {com, 3});
  return dir;
}

void ServeFixture::StartService(TServeOptions options) {
  options.Host = "127.0.0.1";
  options.Port = 0;
  options.Link.SilenceMs = 1000;
  options.Log = [this](const std::string &line) {
    std::lock_guard<std::mutex> lock(LogMutex);
    Log += line + "\n";
  };
  Service = std::make_unique<TServeService>(options);
  std::string why;
  ASSERT_TRUE(Service->Bind(why)) << why;
  Runner = std::thread([this] { Service->Run(); });
}

void ServeFixture::StopService() {
  if (!Service) return;
  Service->Stop();
  Runner.join();
  Service.reset();
}

TReply ServeFixture::Send(const std::string &method, const std::string &path, const std::string &body,
                          const std::string &key, const std::string &contentType) {
  httplib::Client client("127.0.0.1", Service->Port());
  client.set_read_timeout(std::chrono::seconds(60));
  httplib::Headers headers;
  if (!key.empty()) headers.emplace("Idempotency-Key", key);
  httplib::Request req;
  req.method = method;
  req.path = path;
  req.headers = headers;
  req.body = body;
  if (!body.empty() || method == "POST" || method == "PATCH") req.set_header("Content-Type", contentType);
  TReply r;
  const httplib::Result res = client.send(req);
  if (!res) return r;
  r.Status = res->status;
  r.Headers = res->headers;
  r.Body = res->body;
  r.Json = QJsonDocument::fromJson(QByteArray::fromStdString(res->body)).object();
  return r;
}
