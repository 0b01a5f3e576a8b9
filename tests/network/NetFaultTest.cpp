// A device server that cannot be reached: each fault ends at once (no
// answer: within the five seconds allowed) with a reason that names the
// address, and the service's sandbox refusing sockets says so.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#endif

#include "RegisterLink.h"
#include "Ser2net.h"
#include "TarvoCore.h"

namespace {

using Clock = std::chrono::steady_clock;

// A loopback listener; accepted connections are held open and never spoken to.
class TListener {
 public:
  explicit TListener(int backlog) {
    FFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(FFd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    ::listen(FFd, backlog);
    ::getsockname(FFd, reinterpret_cast<sockaddr *>(&a), &len);
    Port = ntohs(a.sin_port);
  }
  ~TListener() {
    for (int fd : FHeld) ::close(fd);
    ::close(FFd);
  }
  // A connection from here that fills a backlog of 0: the kernel then drops
  // every further SYN, and a client hears nothing at all.
  void FillBacklog() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(Port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    FHeld.push_back(fd);
  }
  int Port = 0;

 private:
  int FFd = -1;
  std::vector<int> FHeld;
};

std::string Loopback(const char *scheme, int port) { return std::string(scheme) + "://127.0.0.1:" + std::to_string(port); }

}  // namespace

TEST(NetFaults, EachEndsWithAReasonNamingTheAddress) {
  TListener silent(4);     // accepts (in the kernel) and says nothing
  TListener full(0);
  full.FillBacklog();
  const int nobody = FreeLoopbackPort();
  struct TCase {
    std::string Url;
    std::string Says;
    int AtMostMs;
  };
  const TCase cases[] = {
      {Loopback("tcp", nobody), "conexiune refuzata, la acest port nu asculta niciun server", 1000},
      {Loopback("rfc2217", nobody), "conexiune refuzata", 1000},
      {"tcp://casa-de-marcat.invalid:4001", "calculatorul \"casa-de-marcat.invalid\" nu este cunoscut", 1000},
      {Loopback("tcp", full.Port), "nu raspunde (nicio conexiune in 5 secunde)", 6000},
      {Loopback("rfc2217", silent.Port), "nu accepta RFC 2217 (nu a raspuns la COM-PORT-OPTION", 4000},
      {"tcp://127.0.0.1", "lipseste portul", 100},
      {"tcp://127.0.0.1:0", "portul trebuie sa fie un numar intre 1 si 65535", 100},
      {"rfc2217://127.0.0.1:65536", "portul trebuie sa fie un numar intre 1 si 65535", 100},
      {"tcp://:4001", "lipseste calculatorul", 100},
      {"tcp://[::1:4001", "lipseste ']'", 100},
      {"telnet://127.0.0.1:23", "felul \"telnet://\" nu este cunoscut", 100},
  };
  for (const TCase &c : cases) {
    SCOPED_TRACE(c.Url);
    TTARVO link(false);
    TLinkOptions options;
    options.Device = c.Url;
    std::string reason;
    const auto t0 = Clock::now();
    EXPECT_FALSE(ConnectLink(link, {1, 3}, options, &reason));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
    EXPECT_LE(took, c.AtMostMs);
    EXPECT_EQ(link.LastError(), "8045;Nu pot deschide portul serial");
    EXPECT_NE(reason.find(c.Url), std::string::npos) << reason;
    EXPECT_NE(reason.find(c.Says), std::string::npos) << reason;
    if (c.AtMostMs == 6000) {
      EXPECT_GE(took, 4900);  // the whole five seconds, no more
    }
  }
}

#ifdef __linux__
// What systemd's RestrictAddressFamilies=AF_UNIX does to a service: socket()
// for the Internet families fails with EAFNOSUPPORT (a seccomp filter).
TEST(NetFaults, ASandboxThatRefusesTheNetworkSaysSoAndHowToAllowIt) {
  int out[2];
  ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
  const std::string url = Loopback("tcp", FreeLoopbackPort());
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::dup2(out[1], 2);
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_socket, 0, 4),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AF_INET, 1, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AF_INET6, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAFNOSUPPORT),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog prog{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &prog) != 0)
      ::_exit(99);
    ::execl(TARVOCTL_PATH, "tarvoctl", "--device", url.c_str(), "read", "D5000", nullptr);
    ::_exit(98);
  }
  ::close(out[1]);
  std::string err;
  char buf[512];
  for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) err.append(buf, size_t(n));
  ::close(out[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << err;
  EXPECT_NE(err.find(url + ": sandbox-ul serviciului nu permite conexiuni de retea"), std::string::npos) << err;
  EXPECT_NE(err.find("RestrictAddressFamilies=AF_UNIX AF_INET AF_INET6"), std::string::npos) << err;
}
#endif
