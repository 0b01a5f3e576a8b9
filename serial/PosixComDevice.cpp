// The POSIX half of the serial port component.
#include "PosixComDevice.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "ComThread.h"
#include "LowLatency.h"
#include "PosixLine.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t MaxDword = 0xFFFFFFFFu;

// Time left until deadline, in whole milliseconds for poll(), never negative.
int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  if (left <= 0) return 0;
  return int(std::min<int64_t>(left, 1 << 30));
}

// Waits for the descriptor to become ready for `events`; -1 means no limit.
// Returns poll's revents, 0 on time-out, or -errno.
int WaitReady(int fd, short events, int milliseconds) {
  for (;;) {
    pollfd p{fd, events, 0};
    int r = ::poll(&p, 1, milliseconds);
    if (r > 0) return p.revents;
    if (r == 0) return 0;
    if (errno != EINTR) return -errno;
  }
}

// Removes NUL bytes in place, as the OS would with DiscardNull on Windows.
int DropNulls(uint8_t *bytes, int count) {
  uint8_t *end = std::remove(bytes, bytes + count, uint8_t(0));
  return int(end - bytes);
}

}  // namespace

std::unique_ptr<TComDevice> MakeComDevice() { return std::make_unique<TPosixComDevice>(); }

TPosixComDevice::TPosixComDevice() = default;

TPosixComDevice::~TPosixComDevice() {
  StopEvents();
  Release();
}

void TPosixComDevice::Open(const std::string &path) {
  if (FFd >= 0) return;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw EComPort(CE_OpenFailed, errno);

  // Two programs must never share the register's line. TIOCEXCL keeps other
  // opens out but not root's, and not one racing ours; the advisory lock
  // covers both for every program that takes it, this one included.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    throw EComPort(CE_OpenFailed, err);
  }
  if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY && errno != EINVAL) {
    const int err = errno;
    ::flock(fd, LOCK_UN);
    ::close(fd);
    throw EComPort(CE_OpenFailed, err);
  }
  AskForLowLatency(fd);  // a USB adapter then answers within 1 ms; others ignore it
  FFd = fd;
}

void TPosixComDevice::SetLineSettings(const TDcbBlock &dcb) {
  if (int err = SetPosixLineSettings(FFd, dcb)) throw EComPort(CE_SetState, err);
}

// Time-outs are not handed to a POSIX driver: Read and Write use the values
// on every call, so there is nothing to program here.
void TPosixComDevice::SetTimeouts(const TComTimeouts &) {}

// POSIX drivers size their own queues; the input size still shapes the
// flow-control limits of the line settings.
void TPosixComDevice::SetQueueSizes(const TComBuffer &) {}

// Bytes left unread by an earlier user of the line survive a close on some
// devices (pseudo-terminals); an answer must never start with them. Only
// the input: on a pseudo-terminal the output queue still holds what the
// previous user wrote last (a closing command), and the register must get it.
void TPosixComDevice::PurgeInput() {
  if (FFd >= 0) ::tcflush(FFd, TCIFLUSH);
}

void TPosixComDevice::StartEvents(TComEvents events, QObject *context, TComEventHandler handler) {
  FEventThread = std::make_unique<TComThread>(FFd, events, context, std::move(handler));
}

void TPosixComDevice::StopEvents() {
  if (FEventThread) {
    // Moved out first: a handler that runs during the stop and asks about
    // the thread finds none.
    std::unique_ptr<TComThread> thread = std::move(FEventThread);
    thread->Stop();
  }
}

void TPosixComDevice::Close(const TComTimeouts &timeouts, bool drain) {
  StopEvents();

  // Let what was written reach the line: Write returns once the driver has
  // the bytes, and the last frame before a close must not be lost. The wait
  // is bounded like a write, and whatever is still stuck after it (flow
  // control holding the line) is dropped so that close() cannot hang.
  // A line that is gone drains nothing: do not wait for it.
  int queued = 0;
  if (FFd >= 0 && drain && ::ioctl(FFd, TIOCOUTQ, &queued) == 0 && queued > 0) {
    const uint64_t limit = std::min<uint64_t>(
        uint64_t(uint32_t(timeouts.WriteTotalConstant())) +
            uint64_t(uint32_t(timeouts.WriteTotalMultiplier())) * uint64_t(queued),
        3000);
    const auto deadline = Clock::now() + std::chrono::milliseconds(limit);
    while (queued > 0 && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      if (::ioctl(FFd, TIOCOUTQ, &queued) != 0) break;
    }
    if (queued > 0) ::tcflush(FFd, TCOFLUSH);
  }
  Release();
}

void TPosixComDevice::Release() {
  if (FFd >= 0) {
    // Exclusive mode belongs to the terminal, not to this descriptor: left
    // set, it outlives the close while the other side stays open, and the
    // next open by a non-root program fails with EBUSY.
    ::ioctl(FFd, TIOCNXCL);
    ::flock(FFd, LOCK_UN);
    ::close(FFd);
  }
  FFd = -1;
}

void TPosixComDevice::ReadModemLines() {
  int status = 0;
  if (::ioctl(FFd, TIOCMGET, &status) != 0 && !IsMissingModemLines(errno))
    throw EComPort(CE_ModemStat, errno);
}

int32_t TPosixComDevice::Write(const void *buffer, int32_t count, const TComTimeouts &timeouts) {
  if (FFd < 0) throw EComPort(CE_PortNotOpen);
  if (count <= 0) return 0;

  // As on Windows: n bytes get constant + multiplier * n milliseconds, and
  // both at 0 mean no limit.
  const uint64_t multiplier = uint32_t(timeouts.WriteTotalMultiplier());
  const uint64_t constant = uint32_t(timeouts.WriteTotalConstant());
  const bool limited = multiplier != 0 || constant != 0;
  const auto deadline =
      Clock::now() + std::chrono::milliseconds(limited ? multiplier * uint64_t(count) + constant : 0);

  const uint8_t *bytes = static_cast<const uint8_t *>(buffer);
  int32_t written = 0;
  bool hungUp = false;
  while (written < count) {
    const ssize_t n = ::write(FFd, bytes + written, size_t(count - written));
    if (n > 0) {
      written += int32_t(n);
      hungUp = false;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) throw EComPort(CE_WriteFailed, errno);
    // A hang-up the driver reports as "not ready" would let poll return at
    // once forever; treat it as the end of what this line accepts.
    if (hungUp) break;
    const int wait = limited ? MillisecondsLeft(deadline) : -1;
    if (limited && wait == 0) break;
    const int ready = WaitReady(FFd, POLLOUT, wait);
    if (ready < 0) throw EComPort(CE_WriteFailed, -ready);
    if (ready == 0) break;
    if (ready & POLLNVAL) throw EComPort(CE_WriteFailed, EBADF);
    hungUp = ready & (POLLHUP | POLLERR);
  }
  return written;
}

int32_t TPosixComDevice::Read(void *buffer, int32_t count, const TComTimeouts &timeouts, bool discardNull) {
  if (FFd < 0) throw EComPort(CE_PortNotOpen);
  if (count <= 0) return 0;

  const uint32_t interval = uint32_t(timeouts.ReadInterval());
  const uint32_t multiplier = uint32_t(timeouts.ReadTotalMultiplier());
  const uint32_t constant = uint32_t(timeouts.ReadTotalConstant());
  // The Windows time-out rules: interval "all bits set" with zero totals
  // returns at once with what is queued (the component's default); with the
  // multiplier also all bits set it waits up to the constant for a first
  // byte; otherwise the totals bound the whole read and the interval the
  // gap between bytes, 0 meaning "not used".
  const bool immediate = interval == MaxDword && multiplier == 0 && constant == 0;
  const bool firstByte = interval == MaxDword && multiplier == MaxDword && constant > 0 && constant < MaxDword;
  const bool totalLimited = !firstByte && (multiplier != 0 || constant != 0);
  const bool intervalLimited = !immediate && !firstByte && interval != 0 && interval != MaxDword;
  const auto start = Clock::now();
  const auto totalDeadline =
      start + std::chrono::milliseconds(firstByte ? uint64_t(constant)
                                                  : uint64_t(multiplier) * uint64_t(count) + constant);
  auto gapDeadline = Clock::time_point::max();

  uint8_t *bytes = static_cast<uint8_t *>(buffer);
  int32_t got = 0;
  while (got < count) {
    const ssize_t n = ::read(FFd, bytes + got, size_t(count - got));
    if (n > 0) {
      int kept = int(n);
      if (discardNull) kept = DropNulls(bytes + got, kept);
      got += kept;
      if (FEventThread) FEventThread->NoteRead();
      if (intervalLimited) gapDeadline = Clock::now() + std::chrono::milliseconds(interval);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) throw EComPort(CE_ReadFailed, errno);
    // Nothing queued (or end of input on a hung-up line).
    if (immediate || (firstByte && got > 0)) break;
    int wait = -1;
    if (firstByte || totalLimited) wait = MillisecondsLeft(totalDeadline);
    if (intervalLimited && got > 0) {
      const int gap = MillisecondsLeft(gapDeadline);
      wait = wait < 0 ? gap : std::min(wait, gap);
    }
    if (wait == 0) break;
    const int ready = WaitReady(FFd, POLLIN, wait);
    if (ready < 0) throw EComPort(CE_ReadFailed, -ready);
    if (ready == 0) break;
    if (ready & POLLNVAL) throw EComPort(CE_ReadFailed, EBADF);
    // A line that has hung up yields nothing more; do not wait on it.
    if ((ready & (POLLHUP | POLLERR)) && !(ready & POLLIN)) break;
    if (n == 0 && (ready & POLLHUP)) break;
  }
  return got;
}

int32_t TPosixComDevice::InputCount() {
  int count = 0;
  if (::ioctl(FFd, FIONREAD, &count) != 0) throw EComPort(CE_ClearCom, errno);
  return count;
}
