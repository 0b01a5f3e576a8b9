#include "Simulator.h"
#include "TextHelpers.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace Sim {

namespace {

std::string Errno(const char *what) { return std::string(what) + ": " + std::strerror(errno); }

// Bytes the computer wrote but the simulated line has not yet carried.
// Bounded: a sender that floods the line loses the excess, as a UART would.
constexpr size_t MaxPendingInput = 64 * 1024;

}  // namespace

TSimulator::TSimulator() : FEpoch(Clock::now()) {
  FEngine.OnTrace = [this](Clock::time_point at, const std::string &line) { TraceLine(at, line); };
}

TSimulator::~TSimulator() {
  Stop();
  std::lock_guard<std::mutex> lock(FTraceMutex);
  if (FTrace) std::fclose(FTrace);
  FTrace = nullptr;
}

bool TSimulator::OpenTrace(const std::string &path, std::string &error) {
  std::FILE *f = std::fopen(path.c_str(), "w");
  if (!f) {
    error = Errno(("cannot write the trace " + path).c_str());
    return false;
  }
  std::lock_guard<std::mutex> lock(FTraceMutex);
  if (FTrace) std::fclose(FTrace);
  FTrace = f;
  return true;
}

void TSimulator::TraceLine(Clock::time_point at, const std::string &line) {
  std::lock_guard<std::mutex> lock(FTraceMutex);
  if (!FTrace) return;
  const double s = std::chrono::duration<double>(at - FEpoch).count();
  std::fprintf(FTrace, "%12.6f %s\n", s, line.c_str());
  std::fflush(FTrace);
}

void TSimulator::SetFaults(const TFaults &faults) {
  std::lock_guard<std::mutex> lock(FMutex);
  FEngine.SetFaults(faults);
}

TStats TSimulator::Stats() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FEngine.Stats;
}

bool TSimulator::Start(const std::string &linkPath, std::string &error) {
  if (FThread.joinable()) {
    error = "already running";
    return false;
  }
  FMaster = posix_openpt(O_RDWR | O_NOCTTY);
  if (FMaster < 0 || grantpt(FMaster) != 0 || unlockpt(FMaster) != 0) {
    error = Errno("cannot create a pseudo-terminal");
    Stop();
    return false;
  }
  char name[256];
  if (ptsname_r(FMaster, name, sizeof name) != 0) {
    error = Errno("ptsname");
    Stop();
    return false;
  }
  FSlavePath = name;
  fcntl(FMaster, F_SETFL, fcntl(FMaster, F_GETFL) | O_NONBLOCK);
  fcntl(FMaster, F_SETFD, FD_CLOEXEC);

  // Holding the slave open ourselves keeps the master from reporting a hang-up
  // (and poll from spinning) while no program has the port open. We never
  // read from it, so it takes no bytes away from the program.
  FSlave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (FSlave < 0) {
    error = Errno("cannot open the pseudo-terminal slave");
    Stop();
    return false;
  }
  // Raw, so that the line discipline passes every byte (0x11, 0x13, CR, 0x7F)
  // unchanged in both directions.
  termios tio{};
  if (tcgetattr(FSlave, &tio) == 0) {
    cfmakeraw(&tio);
    cfsetispeed(&tio, B57600);
    cfsetospeed(&tio, B57600);
    tcsetattr(FSlave, TCSANOW, &tio);
  }

  if (!linkPath.empty()) {
    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) {
        error = linkPath + " exists and is not a symbolic link; not replacing it";
        Stop();
        return false;
      }
      unlink(linkPath.c_str());  // a stale link of an earlier run
    }
    if (symlink(FSlavePath.c_str(), linkPath.c_str()) != 0) {
      error = Errno(("cannot create the link " + linkPath).c_str());
      Stop();
      return false;
    }
    FLinkPath = linkPath;
  }

  if (pipe2(FWake, O_CLOEXEC | O_NONBLOCK) != 0) {
    error = Errno("pipe");
    Stop();
    return false;
  }
  FStop = false;
  FThread = std::thread([this] { Run(); });
  FHasCpuClock = pthread_getcpuclockid(FThread.native_handle(), &FCpuClock) == 0;
  return true;
}

double TSimulator::ThreadCpuSeconds() const {
  timespec ts{};
  if (!FHasCpuClock || clock_gettime(FCpuClock, &ts) != 0) return 0;
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void TSimulator::Stop() {
  FHasCpuClock = false;
  if (FThread.joinable()) {
    FStop = true;
    const char c = 1;
    (void)!write(FWake[1], &c, 1);
    FThread.join();
  }
  if (!FLinkPath.empty()) {
    // Remove the link only while it still leads to our pty: another run may
    // have taken the name over since.
    char target[256];
    const ssize_t n = readlink(FLinkPath.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, size_t(n)) == FSlavePath) unlink(FLinkPath.c_str());
    FLinkPath.clear();
  }
  for (int *fd : {&FMaster, &FSlave, &FWake[0], &FWake[1]}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

void TSimulator::Run() {
  using namespace std::chrono;
#ifdef __linux__
  // A paced byte lasts 174 us at 57600 bit/s; the default 50 us of timer
  // slack would add a good part of that to every wake-up.
  prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
#endif
  std::string out;  // the chunk being sent
  size_t outPos = 0;
  Clock::time_point nextOut{};
  bool waitWritable = false;
  std::deque<std::pair<Clock::time_point, char>> pending;  // paced input
  Clock::time_point inFree{};  // when the simulated incoming wire is next free
  char buf[4096];

  while (!FStop) {
    Clock::time_point now = Clock::now();
    TFaults faults;
    std::optional<Clock::time_point> deadline;
    {
      std::lock_guard<std::mutex> lock(FMutex);
      faults = FEngine.Faults();
      std::string due;
      while (!pending.empty() && pending.front().first <= now) {
        due.push_back(pending.front().second);
        pending.pop_front();
      }
      if (!due.empty()) FEngine.Receive(due, now);
      FEngine.Tick(now);
      if (out.empty() && FEngine.HasOutput()) {
        out = FEngine.TakeOutput();
        outPos = 0;
        // On a paced line even the first byte takes its time to arrive.
        nextOut = faults.Baud > 0 ? now + nanoseconds(10'000'000'000LL / faults.Baud) : now;
      }
      deadline = FEngine.NextDeadline();
    }
    const nanoseconds byteTime =
        faults.Baud > 0 ? nanoseconds(10'000'000'000LL / faults.Baud) : nanoseconds(0);
    const nanoseconds byteDelay = milliseconds(std::max(faults.ByteDelayMs, 0));

    // Send what is due.
    if (!out.empty() && !waitWritable && nextOut <= now) {
      size_t n = out.size() - outPos;
      if (byteDelay.count() > 0) {
        n = 1;  // one byte per write, so the computer sees one byte per event
      } else if (byteTime.count() > 0) {
        // Every byte whose time on the wire is over, from a fixed schedule so
        // that the loop's own delays do not add up.
        n = std::min<size_t>(n, size_t((now - nextOut) / byteTime) + 1);
      }
      const ssize_t w = write(FMaster, out.data() + outPos, n);
      if (w > 0) {
        FBytesOut += uint64_t(w);
        outPos += size_t(w);
        if (byteDelay.count() > 0)
          nextOut = Clock::now() + std::max<nanoseconds>(byteDelay, byteTime);
        else if (byteTime.count() > 0)
          nextOut += byteTime * w;
      } else if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        waitWritable = true;
      } else if (w < 0 && errno != EINTR) {
        // The line is gone (it never should be while we hold the slave):
        // drop the chunk rather than retry it forever.
        TraceLine(Clock::now(), "sim> write failed (" + std::string(std::strerror(errno)) +
                                    "), dropped " + std::to_string(out.size() - outPos) + " bytes");
        outPos = out.size();
      }
      if (outPos >= out.size()) {
        const Clock::time_point sent = Clock::now();
        {
          std::lock_guard<std::mutex> lock(FMutex);
          FEngine.OutputSent(sent);
        }
        TraceLine(sent, "sim> " + HexBytes(out));
        out.clear();
        outPos = 0;
        continue;  // the engine may have more to send at once
      }
    }

    // Sleep until input, the next byte to send, the next paced input byte or
    // the acknowledgement deadline.
    std::optional<Clock::time_point> wake = deadline;
    const auto earliest = [&](Clock::time_point t) { if (!wake || t < *wake) wake = t; };
    if (!out.empty() && !waitWritable) earliest(nextOut);
    if (!pending.empty()) earliest(pending.front().first);
    timespec ts{}, *tsp = nullptr;
    if (wake) {
      const auto left = std::max<nanoseconds>(duration_cast<nanoseconds>(*wake - Clock::now()),
                                              nanoseconds(0));
      ts.tv_sec = time_t(left.count() / 1'000'000'000);
      ts.tv_nsec = long(left.count() % 1'000'000'000);
      tsp = &ts;
    }
    pollfd fds[2] = {{FMaster, short(POLLIN | (waitWritable ? POLLOUT : 0)), 0},
                     {FWake[0], POLLIN, 0}};
    const int r = ppoll(fds, 2, tsp, nullptr);
    if (r < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents & POLLIN) {
      while (read(FWake[0], buf, sizeof buf) > 0) {
      }
    }
    if (fds[0].revents & POLLOUT) waitWritable = false;
    if (fds[0].revents & POLLIN) {
      for (;;) {
        const ssize_t n = read(FMaster, buf, sizeof buf);
        if (n <= 0) break;
        const Clock::time_point at = Clock::now();
        FBytesIn += uint64_t(n);
        std::lock_guard<std::mutex> lock(FMutex);
        FEngine.NoteInputArrival(at);
        if (byteTime.count() == 0 && pending.empty()) {
          FEngine.Receive(std::string_view(buf, size_t(n)), at);
          continue;
        }
        for (ssize_t i = 0; i < n && pending.size() < MaxPendingInput; ++i) {
          inFree = std::max(inFree, at) + byteTime;
          pending.emplace_back(inFree, buf[i]);
        }
      }
    } else if (fds[0].revents & (POLLHUP | POLLERR)) {
      // Should not happen while we hold the slave; never spin on it.
      std::this_thread::sleep_for(milliseconds(10));
    }
  }
}

}  // namespace Sim
