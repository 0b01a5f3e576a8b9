// TCustomComPort on POSIX: settings, open and close, reads and writes.
#include "ComPort.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>

#include <QPointer>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "ComThread.h"
#include "LowLatency.h"
#include "PortMap.h"
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

TCustomComPort::TCustomComPort(QObject *owner) : QObject(owner) {}

TCustomComPort::~TCustomComPort() {
  try {
    Close();
  } catch (...) {
    // A destructor has nobody to report to; the descriptor is released below.
  }
  if (FHandle >= 0) ReleaseDevice();
}

// --- settings of the port itself ---

void TCustomComPort::SetPort(const std::string &name) {
  if (name == FPort) return;
  FPort = name;
  if (FConnected) {
    Close();
    Open();
  }
}

void TCustomComPort::SetBaudRate(TBaudRate v) {
  if (v == FBaudRate) return;
  FBaudRate = v;
  ApplyLineSettings();
}

void TCustomComPort::SetCustomBaudRate(int32_t v) {
  if (v == FCustomBaudRate) return;
  FCustomBaudRate = v;
  ApplyLineSettings();
}

void TCustomComPort::SetDataBits(TDataBits v) {
  if (v == FDataBits) return;
  FDataBits = v;
  ApplyLineSettings();
}

void TCustomComPort::SetStopBits(TStopBits v) {
  if (v == FStopBits) return;
  FStopBits = v;
  ApplyLineSettings();
}

void TCustomComPort::SetDiscardNull(bool v) {
  if (v == FDiscardNull) return;
  FDiscardNull = v;
  ApplyLineSettings();
}

void TCustomComPort::SetEventChar(uint8_t v) {
  if (v == FEventChar) return;
  FEventChar = v;
  ApplyLineSettings();
}

// The thread waits for the set it was started with, so an open port gets a
// new thread for a new set.
void TCustomComPort::SetEvents(TComEvents v) {
  v &= AllComEvents;
  if (v == FEvents) return;
  FEvents = v;
  if (FConnected) {
    StopEventThread();
    if (FEvents) StartEventThread();
  }
}

void TCustomComPort::BeginSettingsUpdate() { ++FUpdateCount; }

void TCustomComPort::EndSettingsUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0) {
    ApplyBuffer();
    ApplyLineSettings();
    ApplyTimeouts();
  }
}

void TCustomComPort::ApplyLineSettings() {
  if (SettingsApplicable()) WriteLineSettings();
}

// Time-outs are not handed to a POSIX driver: Read and Write use the stored
// values on every call, so there is nothing to program here.
void TCustomComPort::ApplyTimeouts() {}

// POSIX drivers size their own queues; the input size still shapes the
// flow-control limits of the line settings.
void TCustomComPort::ApplyBuffer() {}

void TCustomComPort::WriteLineSettings() {
  const TDcbBlock dcb = BuildDcb();
  int err = 0;
  if (FBaudRate == brCustom && FCustomBaudRate <= 0)
    err = EINVAL;
  else
    err = SetPosixLineSettings(FHandle, dcb);
  if (err) throw EComPort(CE_SetState, err);
}

TDcbBlock TCustomComPort::BuildDcb() const {
  TDcbBlock d;
  d.DCBlength = 28;
  d.BaudRate = FBaudRate == brCustom ? uint32_t(FCustomBaudRate) : uint32_t(BaudRateValue(FBaudRate));

  uint32_t flags = DcbFlag::Binary;
  if (FDiscardNull) flags |= DcbFlag::Null;
  const TComFlowControl &fc = FFlowControl;
  if (fc.OutCTSFlow()) flags |= DcbFlag::OutxCtsFlow;
  if (fc.OutDSRFlow()) flags |= DcbFlag::OutxDsrFlow;
  static const uint32_t DtrBits[] = {0x0000, 0x0010, 0x0020};
  static const uint32_t RtsBits[] = {0x0000, 0x1000, 0x2000, 0x3000};
  if (fc.ControlDTR() >= dtrDisable && fc.ControlDTR() <= dtrHandshake) flags |= DtrBits[fc.ControlDTR()];
  if (fc.ControlRTS() >= rtsDisable && fc.ControlRTS() <= rtsToggle) flags |= RtsBits[fc.ControlRTS()];
  if (fc.XonXoffOut()) flags |= DcbFlag::OutX;
  if (fc.XonXoffIn()) flags |= DcbFlag::InX;
  if (fc.DSRSensitivity()) flags |= DcbFlag::DsrSensitivity;
  if (fc.TxContinueOnXoff()) flags |= DcbFlag::TXContinueOnXoff;
  if (FParity.Check()) {
    flags |= DcbFlag::Parity;
    if (FParity.Replace()) {
      flags |= DcbFlag::ErrorChar;
      d.ErrorChar = FParity.ReplaceChar();
    }
  }
  d.Flags = flags;

  d.XonLim = d.XoffLim = uint16_t(FBuffer.InputSize() / 4);
  static const uint8_t ByteSizes[] = {5, 6, 7, 8};
  d.ByteSize = (FDataBits >= dbFive && FDataBits <= dbEight) ? ByteSizes[FDataBits] : 0;
  d.Parity = uint8_t(FParity.Bits());
  d.StopBits = uint8_t(FStopBits);
  d.XonChar = fc.XonChar();
  d.XoffChar = fc.XoffChar();
  d.EvtChar = FEventChar;
  return d;
}

std::string TCustomComPort::DevicePath() const { return MapPortName(FPort); }

// --- open and close ---

void TCustomComPort::Open() {
  if (FConnected) return;
  const std::string path = DevicePath();
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
  FHandle = fd;
  FConnected = true;
  FLineLost = false;

  try {
    ApplyBuffer();
    WriteLineSettings();
    ApplyTimeouts();
  } catch (...) {
    ReleaseDevice();
    throw;
  }
  // Bytes left unread by an earlier user of the line survive a close on
  // some devices (pseudo-terminals); an answer must never start with them.
  // Only the input is flushed: on a pseudo-terminal the output queue still
  // holds what the previous user wrote last (a closing command), and the
  // register must get it.
  ::tcflush(fd, TCIFLUSH);

  if (FEvents) {
    try {
      StartEventThread();
    } catch (const std::system_error &e) {
      ReleaseDevice();
      throw EComPort(CE_OpenFailed, e.code().value());
    } catch (...) {
      ReleaseDevice();
      throw;
    }
  }
  ReadModemLines();
}

void TCustomComPort::Close() {
  if (!FConnected && FHandle < 0) return;
  StopEventThread();

  // Let what was written reach the line: Write returns once the driver has
  // the bytes, and the last frame before a close must not be lost. The wait
  // is bounded like a write, and whatever is still stuck after it (flow
  // control holding the line) is dropped so that close() cannot hang.
  // A line that is gone drains nothing: do not wait for it.
  int queued = 0;
  if (FHandle >= 0 && !FLineLost && ::ioctl(FHandle, TIOCOUTQ, &queued) == 0 && queued > 0) {
    const uint64_t limit = std::min<uint64_t>(
        uint64_t(uint32_t(FTimeouts.WriteTotalConstant())) +
            uint64_t(uint32_t(FTimeouts.WriteTotalMultiplier())) * uint64_t(queued),
        3000);
    const auto deadline = Clock::now() + std::chrono::milliseconds(limit);
    while (queued > 0 && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      if (::ioctl(FHandle, TIOCOUTQ, &queued) != 0) break;
    }
    if (queued > 0) ::tcflush(FHandle, TCOFLUSH);
  }
  ReleaseDevice();
}

void TCustomComPort::ReleaseDevice() {
  if (FHandle >= 0) {
    // Exclusive mode belongs to the terminal, not to this descriptor: left
    // set, it outlives the close while the other side stays open, and the
    // next open by a non-root program fails with EBUSY.
    ::ioctl(FHandle, TIOCNXCL);
    ::flock(FHandle, LOCK_UN);
    ::close(FHandle);
  }
  FHandle = -1;
  FConnected = false;
}

void TCustomComPort::StartEventThread() {
  FEventThread = std::make_unique<TComThread>(this, FHandle, FEvents);
  FThreadCreated = true;
}

void TCustomComPort::StopEventThread() {
  if (FEventThread) {
    // Moved out first: a handler that runs during the stop and asks about
    // the thread finds none.
    std::unique_ptr<TComThread> thread = std::move(FEventThread);
    thread->Stop();
  }
  FThreadCreated = false;
}

void TCustomComPort::ReadModemLines() {
  int status = 0;
  if (::ioctl(FHandle, TIOCMGET, &status) != 0 && !IsMissingModemLines(errno))
    throw EComPort(CE_ModemStat, errno);
}

// --- transfers ---

int32_t TCustomComPort::Write(const void *buffer, int32_t count) {
  if (FHandle < 0) throw EComPort(CE_PortNotOpen);
  if (count <= 0) return 0;

  // As on Windows: n bytes get constant + multiplier * n milliseconds, and
  // both at 0 mean no limit.
  const uint64_t multiplier = uint32_t(FTimeouts.WriteTotalMultiplier());
  const uint64_t constant = uint32_t(FTimeouts.WriteTotalConstant());
  const bool limited = multiplier != 0 || constant != 0;
  const auto deadline =
      Clock::now() + std::chrono::milliseconds(limited ? multiplier * uint64_t(count) + constant : 0);

  const uint8_t *bytes = static_cast<const uint8_t *>(buffer);
  int32_t written = 0;
  bool hungUp = false;
  while (written < count) {
    const ssize_t n = ::write(FHandle, bytes + written, size_t(count - written));
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
    const int ready = WaitReady(FHandle, POLLOUT, wait);
    if (ready < 0) throw EComPort(CE_WriteFailed, -ready);
    if (ready == 0) break;
    if (ready & POLLNVAL) throw EComPort(CE_WriteFailed, EBADF);
    hungUp = ready & (POLLHUP | POLLERR);
  }
  return written;
}

int32_t TCustomComPort::Read(void *buffer, int32_t count) {
  if (FHandle < 0) throw EComPort(CE_PortNotOpen);
  if (count <= 0) return 0;

  const uint32_t interval = uint32_t(FTimeouts.ReadInterval());
  const uint32_t multiplier = uint32_t(FTimeouts.ReadTotalMultiplier());
  const uint32_t constant = uint32_t(FTimeouts.ReadTotalConstant());
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
    const ssize_t n = ::read(FHandle, bytes + got, size_t(count - got));
    if (n > 0) {
      int kept = int(n);
      if (FDiscardNull) kept = DropNulls(bytes + got, kept);
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
    const int ready = WaitReady(FHandle, POLLIN, wait);
    if (ready < 0) throw EComPort(CE_ReadFailed, -ready);
    if (ready == 0) break;
    if (ready & POLLNVAL) throw EComPort(CE_ReadFailed, EBADF);
    // A line that has hung up yields nothing more; do not wait on it.
    if ((ready & (POLLHUP | POLLERR)) && !(ready & POLLIN)) break;
    if (n == 0 && (ready & POLLHUP)) break;
  }
  return got;
}

int32_t TCustomComPort::InputCount() {
  int count = 0;
  if (::ioctl(FHandle, FIONREAD, &count) != 0) throw EComPort(CE_ClearCom, errno);
  return count;
}

// --- events, on the port's own thread ---

void TCustomComPort::HandleEvents(TComEvents events, int lostError) {
  if (FHandle < 0) return;
  // The handler may close the port or even destroy it; nothing below may
  // touch the component once it is gone.
  QPointer<TCustomComPort> alive(this);
  if (events & ComEventBit(evRxChar)) {
    int count = 0;
    try {
      count = InputCount();
    } catch (const EComPort &) {
      // A line that has just gone may refuse even this; the loss below says
      // why, and must not be lost behind the failure.
      if (lostError <= 0) throw;
    }
    if (count > 0 && OnRxChar) {
      const TRxCharEvent handler = OnRxChar;  // survives the handler replacing itself
      handler(this, count);
      if (!alive || FHandle < 0) return;
    }
  }
  if (lostError > 0) {
    if (FLineLost) return;
    FLineLost = true;
    if (OnLineLost) {
      const TLineLostEvent handler = OnLineLost;
      handler(this, lostError);
    }
    // Modem lines of a line that is gone cannot be read.
    return;
  }
  if (events & (ComEventBit(evCTS) | ComEventBit(evDSR) | ComEventBit(evRLSD))) ReadModemLines();
}
