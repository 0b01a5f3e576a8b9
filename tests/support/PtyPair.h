// A pseudo-terminal pair standing in for a register's serial line: the code
// under test opens the slave by its path, the test plays the register on the
// master. The same read/write helpers serve a test that opens a terminal
// itself (the PC's side of the simulator's line).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// Opens a terminal by its path, raw and non-blocking; -1 when it cannot.
inline int OpenRawTerminal(const std::string &path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return fd;
  termios t{};
  ::tcgetattr(fd, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(fd, TCSANOW, &t);
  return fd;
}

// What came on fd within the time limit, up to count bytes; stops early when
// the other side is gone.
inline std::string ReadTerminal(int fd, size_t count, int milliseconds = 2000) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (got.size() < count && std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    if (!(p.revents & POLLIN)) break;  // hung up or closed
    char buf[4096];
    const ssize_t n = ::read(fd, buf, std::min(sizeof buf, count - got.size()));
    if (n > 0) got.append(buf, size_t(n));
    else if (n == 0 || errno != EAGAIN) break;
  }
  return got;
}

// Reads until at least want bytes came, with whatever arrived along with
// them, or until milliseconds passed without any.
inline std::string ReadAtLeast(int fd, size_t want, int milliseconds = 2000) {
  std::string got;
  char buf[512];
  while (got.size() < want) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, milliseconds) <= 0) break;
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) break;
    got.append(buf, size_t(n));
  }
  return got;
}

// Writes all of bytes to a (possibly non-blocking) fd, waiting for room up
// to the time limit; false when not all of them went.
inline bool WriteTerminal(int fd, const std::string &bytes, int milliseconds = 2000) {
  size_t done = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += size_t(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= end) return false;
    pollfd p{fd, POLLOUT, 0};
    ::poll(&p, 1, 20);
  }
  return true;
}

class TPtyPair {
 public:
  // Held: our own slave descriptor stays open, so the master never sees a
  // hang-up while the code under test closes and reopens the device, and the
  // test can inspect the terminal's state. Released: the test process must
  // not hold the device (as when asking who holds it).
  enum TSlave { Held, Released };

  explicit TPtyPair(TSlave slave = Held) {
    char name[256] = {};
    if (::openpty(&FMaster, &FSlave, name, nullptr, nullptr) != 0)
      throw std::runtime_error(std::string("openpty: ") + std::strerror(errno));
    FSlavePath = name;
    ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK);
    // Raw from the start, so that bytes pass both ways unchanged (and are not
    // echoed) before the device is opened and set up.
    termios t{};
    ::tcgetattr(FMaster, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(FMaster, TCSANOW, &t);
    if (slave == Released) ::close(FSlave), FSlave = -1;
  }
  ~TPtyPair() {
    CloseMaster();
    if (FSlave >= 0) ::close(FSlave);
  }
  TPtyPair(const TPtyPair &) = delete;
  TPtyPair &operator=(const TPtyPair &) = delete;

  const std::string &SlavePath() const { return FSlavePath; }
  int Master() const { return FMaster; }
  int Slave() const { return FSlave; }  // -1 when released

  // The register's end goes away, as a pulled cable or adapter does.
  void CloseMaster() {
    if (FMaster >= 0) ::close(FMaster);
    FMaster = -1;
  }

  // Writes bytes to the device's reader. A line that does not take them is
  // a test failure; after CloseMaster nothing is sent.
  void Send(const std::string &bytes) const {
    if (FMaster < 0) return;
    EXPECT_TRUE(WriteTerminal(FMaster, bytes)) << "the pseudo-terminal took not all of " << bytes.size() << " bytes";
  }
  // What the master received within the time limit, up to count bytes.
  std::string Receive(size_t count, int milliseconds = 2000) const {
    return FMaster < 0 ? std::string() : ReadTerminal(FMaster, count, milliseconds);
  }
  // Whatever is there now or comes within milliseconds; "" when nothing.
  std::string Take(int milliseconds = 20) const {
    if (FMaster < 0) return "";
    pollfd p{FMaster, POLLIN, 0};
    if (::poll(&p, 1, milliseconds) <= 0 || !(p.revents & POLLIN)) return "";
    char buf[4096];
    const ssize_t n = ::read(FMaster, buf, sizeof buf);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
  }

  termios SlaveSettings() const {
    termios t{};
    ::tcgetattr(FSlave, &t);
    return t;
  }
  speed_t SlaveSpeed() const {
    const termios t = SlaveSettings();
    return ::cfgetospeed(&t);
  }

 private:
  int FMaster = -1, FSlave = -1;
  std::string FSlavePath;
};
