// tarvoctl serve: the HTTP/JSON service for shop software, every project of
// the program directory one register with a queue of its own. It runs until
// SIGINT or SIGTERM, then answers what it took in and ends with status 0.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

#include "Access.h"
#include "ProgramDir.h"
#include "Service.h"
#include "StampedLogLine.h"
#include "Subcommands.h"

namespace {

void LogLine(const std::string &line) {
  std::fprintf(stderr, "%s\n", StampedLogLine("serve", line).c_str());
  std::fflush(stderr);
}

int RunServe(TCliContext &cx) {
  std::string listen = DefaultListen, tokenFile;
  long long queueTimeout = 60;
  for (size_t i = 0; i < cx.Args.size(); ++i) {
    const std::string &a = cx.Args[i];
    if (a != "--listen" && a != "--token-file" && a != "--queue-timeout") return UsageError(cx, "unknown word " + a);
    if (i + 1 >= cx.Args.size() || cx.Args[i + 1].empty()) return UsageError(cx, a + " needs a value");
    const std::string &v = cx.Args[++i];
    if (a == "--listen") {
      listen = v;
    } else if (a == "--token-file") {
      tokenFile = v;
    } else {
      const auto s = ParseNumber(v, 1, 86400);
      if (!s) return UsageError(cx, "--queue-timeout takes seconds from 1 to 86400");
      queueTimeout = *s;
    }
  }
  // Every project goes to its own register.
  if (!cx.Project.empty() || !cx.Link.Device.empty())
    return UsageError(cx, "serve works every project on its own port: no --project or --device");
  TServeOptions options;
  std::string why;
  if (!ParseListen(listen, options.Host, options.Port, why)) return UsageError(cx, why);
  if (!IsLoopbackHost(options.Host) && tokenFile.empty())
    return UsageError(cx, "--listen " + listen + " is reachable from other machines: give --token-file FILE too");
  if (!tokenFile.empty() && !ReadTokenFile(AbsolutePath(tokenFile), options.Token, why)) return Fail(why);
  options.QueueTimeout = std::chrono::seconds(queueTimeout);
  options.Link = cx.Link;
  options.Log = LogLine;

  // The signals are taken by a thread of their own; every thread made from
  // here on (the server's, the registers') leaves them to it.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  if (pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr) != 0) return Fail("cannot block SIGINT/SIGTERM");

  TServeService service(options);
  if (!service.Bind(why)) return Fail(why);
  std::atomic<bool> ended{false};
  std::thread watcher([&] {
    int sig = 0;
    sigwait(&stopSignals, &sig);
    if (ended) return;
    LogLine("stopping: no new requests; the actions in progress finish and answer");
    service.Stop();
  });
  LogLine("listening on " + listen.substr(0, listen.rfind(':')) + ":" + std::to_string(service.Port()) +
          " for the projects of " + ProgramDirectory() + (options.Token.empty() ? "" : "; bearer token required") +
          "; SIGINT or SIGTERM stops");
  service.Run();
  ended = true;
  pthread_kill(watcher.native_handle(), SIGTERM);  // wakes it when no signal came
  watcher.join();
  LogLine("stopped");
  return ExitOk;
}

}  // namespace

const TSubcommand CmdServe = {
    "serve",
    "  serve [--listen HOST:PORT] [--token-file FILE] [--queue-timeout S]\n"
    "                                       the HTTP/JSON service for shop software over every\n"
    "                                       project of the program directory (default\n"
    "                                       127.0.0.1:8735); another address needs --token-file\n"
    "                                       (its first line is the bearer token); a request waiting\n"
    "                                       longer than S seconds (60) for its register gets 503;\n"
    "                                       one log line per request; SIGINT or SIGTERM stops\n",
    RunServe};
