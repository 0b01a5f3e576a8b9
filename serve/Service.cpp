#include "Service.h"

#include <atomic>
#include <cstring>
#include <thread>

#include <httplib.h>

#include "Access.h"
#include "Router.h"
#include "ServeJson.h"

namespace {

using TClock = std::chrono::steady_clock;

// When the request now being handled on this thread came in: each
// connection is served by one thread, a request after the other.
thread_local TClock::time_point RequestStart{};

// The path as a log shows it: a decoded path may hold any byte, and a line
// break in it must not make a second log line.
std::string Printable(const std::string &s) {
  std::string out;
  for (unsigned char c : s) {
    if (c < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    } else {
      out += char(c);
    }
  }
  return out;
}

const char *ErrorTextOf(int status) {
  switch (status) {
    case 400: return "Cerere invalida";
    case 401: return "Lipseste autorizarea";
    case 404: return "Adresa necunoscuta";
    case 405: return "Metoda nepermisa";
    case 413: return "Corpul cererii este prea mare (cel mult 64 MiB)";
    case 414: return "Adresa este prea lunga";
    default: return "Cerere refuzata";
  }
}

}  // namespace

struct TServeService::TImpl {
  explicit TImpl(TServeOptions o)
      : Options(std::move(o)), Router(TRouterOptions{Options.QueueTimeout, Options.Link, Options.Log}) {}
  TServeOptions Options;
  TServeRouter Router;
  httplib::Server Server;
  int BoundPort = 0;
  // The server's stop does nothing before it listens: a stop asked for
  // before Run got there is seen by Run instead.
  std::atomic<bool> StopAsked{false}, RunEntered{false};

  void Log(const std::string &line) const {
    if (Options.Log) Options.Log(line);
  }
  void Setup();
  void Answer(const httplib::Request &req, httplib::Response &res);
};

void TServeService::TImpl::Setup() {
  // Requests wait here for their register; a pool of its own size keeps a
  // few long actions from holding up every other client.
  Server.new_task_queue = [] { return new httplib::ThreadPool(32); };
  Server.set_payload_max_length(Options.MaxBodyBytes);
  Server.set_tcp_nodelay(true);
  Server.set_keep_alive_timeout(2);
  Server.set_keep_alive_max_count(1000);
  Server.set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &res) {
    RequestStart = TClock::now();
    // Checked before the body is read: a stranger cannot make it read 64 MiB.
    if (!Options.Token.empty() && !BearerMatches(req.get_header_value("Authorization"), Options.Token)) {
      const TAnswer a = ErrorAnswer(401, ErrorTextOf(401), "every request needs Authorization: Bearer <token>");
      res.status = a.Status;
      res.set_header("WWW-Authenticate", "Bearer");
      res.set_content(a.Body, "application/json; charset=utf-8");
      return httplib::Server::HandlerResponse::Handled;
    }
    // A request without Content-Length or Transfer-Encoding has no body
    // (curl -X POST sends none), but the server would wait for one until
    // its read time-out: it is answered here, before any body is read.
    if (!req.has_header("Content-Length") && !req.has_header("Transfer-Encoding")) {
      Answer(req, res);
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  const auto handler = [this](const httplib::Request &req, httplib::Response &res) { Answer(req, res); };
  Server.Get(".*", handler);
  Server.Post(".*", handler);
  Server.Patch(".*", handler);
  Server.Put(".*", handler);
  Server.Delete(".*", handler);
  Server.Options(".*", handler);
  // Refusals the server makes itself (413, 414, a request it cannot read)
  // get the same JSON body as ours.
  Server.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request &, httplib::Response &res) {
    if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
    const TAnswer a = ErrorAnswer(res.status, ErrorTextOf(res.status), "refused by the HTTP server");
    res.set_content(a.Body, "application/json; charset=utf-8");
    return httplib::Server::HandlerResponse::Handled;
  }));
  Server.set_exception_handler([](const httplib::Request &, httplib::Response &res, std::exception_ptr) {
    const TAnswer a = ErrorAnswer(500, "Eroare interna", "unexpected error");
    res.status = 500;
    res.set_content(a.Body, "application/json; charset=utf-8");
  });
  Server.set_logger([this](const httplib::Request &req, const httplib::Response &res) {
    const long long ms = RequestStart == TClock::time_point{}
                             ? 0
                             : std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - RequestStart).count();
    RequestStart = {};
    Log(req.method + " " + Printable(req.path) + " " + std::to_string(res.status) + " " + std::to_string(ms) + " ms");
  });
}

void TServeService::TImpl::Answer(const httplib::Request &req, httplib::Response &res) {
  THttpRequest r;
  r.Method = req.method;
  r.Path = req.path;
  r.ContentType = req.get_header_value("Content-Type");
  r.HasKey = req.has_header("Idempotency-Key");
  r.IdempotencyKey = req.get_header_value("Idempotency-Key");
  r.Body = req.body;
  const TAnswer a = Router.Handle(r);
  res.status = a.Status;
  if (a.RetryAfter > 0) res.set_header("Retry-After", std::to_string(a.RetryAfter));
  if (!a.Allow.empty()) res.set_header("Allow", a.Allow);
  if (a.Replayed) res.set_header("Idempotent-Replayed", "true");
  res.set_content(a.Body, "application/json; charset=utf-8");
}

TServeService::TServeService(TServeOptions options) : FImpl(std::make_unique<TImpl>(std::move(options))) {
  FImpl->Setup();
}

TServeService::~TServeService() = default;

bool TServeService::Bind(std::string &why) {
  const TServeOptions &o = FImpl->Options;
  if (o.Port == 0) {
    FImpl->BoundPort = FImpl->Server.bind_to_any_port(o.Host);
    if (FImpl->BoundPort > 0) return true;
  } else if (FImpl->Server.bind_to_port(o.Host, o.Port)) {
    FImpl->BoundPort = o.Port;
    return true;
  }
  why = "cannot listen on " + o.Host + ":" + std::to_string(o.Port) + ": " + std::strerror(errno);
  return false;
}

int TServeService::Port() const { return FImpl->BoundPort; }

void TServeService::Run() {
  FImpl->RunEntered = true;
  if (!FImpl->StopAsked) FImpl->Server.listen_after_bind();
  FImpl->RunEntered = false;
}

void TServeService::Stop() {
  FImpl->StopAsked = true;
  FImpl->Router.Stop();
  while (FImpl->RunEntered && !FImpl->Server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  FImpl->Server.stop();
}
