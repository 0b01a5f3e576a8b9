#include "TcpSocket.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "NetFault.h"
#include "Transport.h"

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left <= 0 ? 0 : int(std::min<long long>(left, 1 << 30));
}

[[noreturn]] void Fail(TNetFault fault, const std::string &url, int err, const std::string &detail = "") {
  throw ETransport(NetFaultText(fault, url, err, detail), err > 0 ? err : -1);
}

// Names under .invalid never exist, and the look-up must not leave this
// machine to learn that.
bool IsInvalidName(std::string host) {
  std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  if (!host.empty() && host.back() == '.') host.pop_back();
  return host == "invalid" || (host.size() > 8 && host.compare(host.size() - 8, 8, ".invalid") == 0);
}

using TAddrList = std::unique_ptr<addrinfo, void (*)(addrinfo *)>;

// getaddrinfo cannot be given a time limit; it runs on a thread of its own,
// which is left to finish by itself when the deadline passes first.
TAddrList Resolve(const TNetAddress &a, const std::string &url, Clock::time_point deadline) {
  if (IsInvalidName(a.Host)) Fail(TNetFault::UnknownHost, url, 0, a.Host);
  struct TLookup {
    std::mutex Lock;
    std::condition_variable Done;
    bool Finished = false;
    int Rc = 0;
    addrinfo *List = nullptr;
    ~TLookup() {
      if (List) freeaddrinfo(List);
    }
  };
  auto lookup = std::make_shared<TLookup>();
  const std::string host = a.Host, port = std::to_string(a.Port);
  auto run = [lookup, host, port](int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = flags;
    addrinfo *list = nullptr;
    const int rc = getaddrinfo(host.c_str(), port.c_str(), &hints, &list);
    std::lock_guard<std::mutex> guard(lookup->Lock);
    lookup->Rc = rc;
    lookup->List = list;
    lookup->Finished = true;
    lookup->Done.notify_all();
  };
  // A written address needs no look-up at all.
  run(AI_NUMERICHOST | AI_NUMERICSERV);
  if (lookup->Rc != 0) {
    lookup->Finished = false;
    try {
      std::thread([run] { run(AI_NUMERICSERV); }).detach();
    } catch (const std::system_error &e) {
      Fail(TNetFault::Failed, url, e.code().value());
    }
    std::unique_lock<std::mutex> lock(lookup->Lock);
    if (!lookup->Done.wait_until(lock, deadline, [&] { return lookup->Finished; }))
      Fail(TNetFault::Failed, url, 0, "numele \"" + a.Host + "\" nu s-a gasit la timp (serverul de nume nu raspunde)");
  }
  std::lock_guard<std::mutex> guard(lookup->Lock);
  if (lookup->Rc != 0) {
    const int rc = lookup->Rc;
    if (rc == EAI_NONAME || rc == EAI_NODATA || rc == EAI_FAIL) Fail(TNetFault::UnknownHost, url, 0, a.Host);
    Fail(TNetFault::Failed, url, 0, "numele \"" + a.Host + "\" nu s-a putut cauta: " + gai_strerror(rc));
  }
  addrinfo *list = lookup->List;
  lookup->List = nullptr;
  return TAddrList(list, freeaddrinfo);
}

void SetOption(int fd, int level, int name, int value) { ::setsockopt(fd, level, name, &value, sizeof value); }

// Each a speed-up; none is needed to talk.
void Tune(int fd) {
  SetOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
#ifdef __linux__
  SetOption(fd, IPPROTO_TCP, TCP_QUICKACK, 1);
#endif
}

// A quick notice of a peer that stopped answering, set once connected (the
// user time-out would also cut the connection attempt short).
void WatchPeer(int fd) {
  SetOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
#ifdef __linux__
  // A probe after one idle second, one a second after; with the user
  // time-out a peer that stopped answering is given up after two seconds,
  // whether data waits for its acknowledgement or the line is quiet.
  SetOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, 1);
  SetOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, 1);
  SetOption(fd, IPPROTO_TCP, TCP_KEEPCNT, 2);
  SetOption(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, 2000);
#endif
}

// One address: the socket, or -1 with err set.
int TryConnect(const addrinfo &ai, Clock::time_point deadline, int &err) {
  const int fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol);
  if (fd < 0) {
    err = errno;
    return -1;
  }
  Tune(fd);
  if (::connect(fd, ai.ai_addr, ai.ai_addrlen) != 0) {
    if (errno != EINPROGRESS) {
      err = errno;
      ::close(fd);
      return -1;
    }
    for (;;) {
      pollfd p{fd, POLLOUT, 0};
      const int r = ::poll(&p, 1, MillisecondsLeft(deadline));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) {
        err = r == 0 ? ETIMEDOUT : errno;
        ::close(fd);
        return -1;
      }
      break;
    }
    int soError = 0;
    socklen_t len = sizeof soError;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) != 0) soError = errno;
    if (soError != 0) {
      err = soError;
      ::close(fd);
      return -1;
    }
  }
  WatchPeer(fd);
  return fd;
}

TNetFault FaultOf(int err) {
  if (err == ECONNREFUSED) return TNetFault::Refused;
  if (err == ETIMEDOUT) return TNetFault::NoAnswer;
  if (err == ENETUNREACH || err == EHOSTUNREACH || err == EADDRNOTAVAIL) return TNetFault::Unreachable;
  if (IsSandboxRefusal(err)) return TNetFault::Sandbox;
  return TNetFault::Failed;
}

}  // namespace

int ConnectTcp(const TNetAddress &address, const std::string &url, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const TAddrList list = Resolve(address, url, deadline);
  int err = ETIMEDOUT;
  for (const addrinfo *ai = list.get(); ai; ai = ai->ai_next) {
    const int fd = TryConnect(*ai, deadline, err);
    if (fd >= 0) return fd;
    // A refusal by the sandbox or an exhausted time applies to every address.
    if (IsSandboxRefusal(err) || err == ETIMEDOUT) break;
  }
  Fail(FaultOf(err), url, err, err == ETIMEDOUT ? std::to_string((timeoutMs + 999) / 1000) : "");
}

void RearmQuickAck(int fd) {
#ifdef __linux__
  SetOption(fd, IPPROTO_TCP, TCP_QUICKACK, 1);
#else
  (void)fd;
#endif
}

std::string ProbeTcp(const std::string &url, int timeoutMs) {
  TNetAddress a;
  std::string why;
  if (!ParseNetAddress(url, a, &why)) return NetFaultText(TNetFault::BadAddress, url, 0, why);
  try {
    ::close(ConnectTcp(a, url, timeoutMs));
  } catch (const ETransport &e) {
    return e.what();
  }
  return "";
}
