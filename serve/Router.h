// The HTTP service without HTTP: a request (method, path, the two headers
// it reads, body) in, an answer out. It matches the path, finds the project,
// reads the body, deals with the Idempotency-Key and hands register actions
// and file changes to the project's queue; the caller's thread only waits.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "Answer.h"
#include "RegisterLink.h"

struct THttpRequest {
  std::string Method;
  std::string Path;  // decoded, without the query
  std::string ContentType;
  bool HasKey = false;
  std::string IdempotencyKey;
  std::string Body;
};

struct TRouterOptions {
  // How long a request may wait for its turn before it gets 503.
  std::chrono::milliseconds QueueTimeout{60000};
  TLinkOptions Link;  // frame trace, silence of an exchange
  // Lines for the log (a stored answer that could not be written).
  std::function<void(const std::string &)> Log;
};

class TServeRouter {
 public:
  explicit TServeRouter(TRouterOptions options);
  ~TServeRouter();  // waits for the actions in progress

  TAnswer Handle(const THttpRequest &request);
  // Takes no more register actions: those waiting get 503, those running
  // finish and answer. Requests that touch no register still get answers.
  void Stop();

 private:
  struct TProject;
  // The project of that name, made on first use; null with the answer to
  // give when there is no such project.
  TProject *ProjectOf(const std::string &name, TAnswer &refusal);
  struct TListedSettings {
    std::string Stamp;  // the settings file and the port map as they were read
    int Port = 0, Baud = 0;
    std::string Device;
  };
  TListedSettings SettingsOf(const std::string &projectDir);
  TAnswer ListProjects();
  TAnswer Queue(TProject &project, const THttpRequest &request, std::function<TAnswer()> action);

  TRouterOptions FOptions;
  std::mutex FMutex;
  std::map<std::string, std::unique_ptr<TProject>> FProjects;
  bool FStopping = false;
  std::mutex FListMutex;
  std::map<std::string, TListedSettings> FListed;
};
