// tarvoctl serve's HTTP/1.1 server (cpp-httplib) over the router: bearer
// token, body limit, one log line per request, and a stop that lets the
// actions in progress finish and answer their clients.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "RegisterLink.h"

struct TServeOptions {
  std::string Host = "127.0.0.1";
  int Port = 8735;                 // 0: any free port (tests)
  std::string Token;               // "": no Authorization asked
  std::chrono::milliseconds QueueTimeout{60000};
  TLinkOptions Link;
  size_t MaxBodyBytes = size_t(64) << 20;
  // Lines for stderr: one per request (method, path, status, time), and the
  // service's own. Never the token.
  std::function<void(const std::string &)> Log;
};

class TServeService {
 public:
  explicit TServeService(TServeOptions options);
  ~TServeService();
  TServeService(const TServeService &) = delete;
  TServeService &operator=(const TServeService &) = delete;

  // Binds the address; false with why.
  bool Bind(std::string &why);
  int Port() const;
  // Answers requests until Stop; returns once every request taken in has
  // been answered.
  void Run();
  // From any thread: stop taking connections; waiting register actions are
  // answered 503, running ones finish and answer.
  void Stop();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
