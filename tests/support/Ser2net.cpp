#include "Ser2net.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(uint16_t(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

int FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
  ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
  ::close(fd);
  return ntohs(a.sin_port);
}

bool TSer2net::Installed() {
  for (const char *dir : {"/usr/sbin/", "/usr/bin/", "/sbin/", "/bin/", "/usr/local/sbin/", "/usr/local/bin/"})
    if (::access((std::string(dir) + "ser2net").c_str(), X_OK) == 0) return true;
  return false;
}

bool TSer2net::Start(const std::string &device, const std::string &dir, std::string &why, const std::string &options) {
  FTcpPort = FreeLoopbackPort();
  FTelnetPort = FreeLoopbackPort();
  // Nothing but the addresses and the device unless told: no "nodelay", so
  // the server sends with Nagle's algorithm on, as a default installation does.
  const std::string config = dir + "/ser2net.yaml";
  const std::string extra = options.empty() ? "" : "  options:\n    " + options + "\n";
  std::ofstream(config) << "connection: &raw\n"
                           "  accepter: tcp,127.0.0.1," << FTcpPort << "\n"
                           "  connector: serialdev," << device << ",57600n81,local\n" << extra <<
                           "connection: &rfc2217\n"
                           "  accepter: telnet(rfc2217),tcp,127.0.0.1," << FTelnetPort << "\n"
                           "  connector: serialdev," << device << ",57600n81,local\n" << extra;
  FPid = ::fork();
  if (FPid < 0) {
    why = "fork failed";
    return false;
  }
  if (FPid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    // -u: no UUCP lock files in /var/lock, which tests running side by side
    // would share; the lock has nothing to do with how the server talks.
    ::execlp("ser2net", "ser2net", "-n", "-d", "-u", "-c", config.c_str(), nullptr);
    ::_exit(127);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (::waitpid(FPid, &status, WNOHANG) == FPid) {
      FPid = -1;
      why = "ser2net ended at once (status " + std::to_string(status) + ")";
      return false;
    }
    if (Accepts(FTcpPort) && Accepts(FTelnetPort)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  why = "ser2net did not listen within 5 s";
  Kill();
  return false;
}

void TSer2net::Kill() {
  if (FPid <= 0) return;
  ::kill(FPid, SIGKILL);
  ::waitpid(FPid, nullptr, 0);
  FPid = -1;
}
