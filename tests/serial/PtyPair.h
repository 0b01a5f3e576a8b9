// A pseudo-terminal pair standing in for the register's line: the port opens
// the slave by its path, the test plays the register on the master.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

struct PtyPair {
  int Master = -1;
  int Slave = -1;  // kept open so the test can inspect the terminal's state
  std::string SlavePath;

  PtyPair() {
    if (openpty(&Master, &Slave, nullptr, nullptr, nullptr) != 0) {
      ADD_FAILURE() << "openpty: " << errno;
      return;
    }
    SlavePath = ptsname(Master);
    fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
    // Raw on the master side too, so bytes pass both ways unchanged.
    termios t;
    tcgetattr(Master, &t);
    cfmakeraw(&t);
    tcsetattr(Master, TCSANOW, &t);
  }
  ~PtyPair() {
    CloseMaster();
    if (Slave >= 0) ::close(Slave);
  }
  void CloseMaster() {
    if (Master >= 0) ::close(Master);
    Master = -1;
  }

  void Send(const std::string &bytes) const {
    ASSERT_EQ(::write(Master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
  }

  // What the master received within the time limit, up to `count` bytes.
  std::string Receive(size_t count, int milliseconds = 2000) const {
    std::string got;
    QElapsedTimer timer;
    timer.start();
    while (got.size() < count && timer.elapsed() < milliseconds) {
      pollfd p{Master, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      char buf[4096];
      ssize_t n = ::read(Master, buf, std::min(sizeof buf, count - got.size()));
      if (n > 0) got.append(buf, size_t(n));
    }
    return got;
  }

  speed_t SlaveSpeed() const {
    termios t = SlaveSettings();
    return cfgetospeed(&t);
  }

  termios SlaveSettings() const {
    termios t{};
    tcgetattr(Slave, &t);
    return t;
  }
};

// Runs the event loop until pred() holds or the time runs out.
template <typename Pred>
bool PumpUntil(Pred pred, int milliseconds = 2000) {
  QElapsedTimer timer;
  timer.start();
  for (;;) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (pred()) return true;
    if (timer.elapsed() > milliseconds) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// Runs the event loop for a while without a condition.
inline void PumpFor(int milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}
