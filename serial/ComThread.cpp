#include "ComThread.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>

#include <QMetaObject>
#include <QObject>
#include <QtGlobal>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

// What the event thread and the GUI thread share. A queued hand-over keeps
// its own reference, so it stays valid after the TComThread is gone.
struct TComThread::TShared {
  std::mutex Lock;
  std::condition_variable Changed;
  bool Stopping = false;
  bool Pending = false;   // a hand-over is waiting for the GUI thread
  uint64_t Sequence = 0;  // number of the latest hand-over
  bool Failed = false;    // a handler raised: the thread ends
  std::atomic<bool> Done{false};
  std::atomic<uint64_t> Reads{0};
};

namespace {

// How long the thread rests before looking at the device again when poll()
// keeps reporting something nobody will act on: bytes the handler leaves
// unread, or a line whose other end went away (POLLHUP/POLLERR are reported
// continuously and would otherwise spin a core).
constexpr int UnreadPauseMs = 50;
constexpr int BrokenLinePauseMs = 100;

}  // namespace

TComThread::TComThread(int fd, TComEvents events, QObject *context, TComEventHandler handler)
    : FContext(context), FHandler(std::move(handler)), FFd(fd), FEvents(events), FShared(std::make_shared<TShared>()) {
  FWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (FWakeFd < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  try {
    FThread = std::thread([this] { Execute(); });
  } catch (...) {
    ::close(FWakeFd);
    throw;
  }
}

TComThread::~TComThread() {
  Stop();
  ::close(FWakeFd);
}

void TComThread::Stop() {
  {
    std::lock_guard<std::mutex> guard(FShared->Lock);
    FShared->Stopping = true;
  }
  FShared->Changed.notify_all();
  const uint64_t one = 1;
  // The counter cannot overflow from a handful of stops; a full counter
  // still reads as "woken".
  ssize_t ignored = ::write(FWakeFd, &one, sizeof one);
  (void)ignored;
  if (FThread.joinable()) FThread.join();
}

void TComThread::NoteRead() { FShared->Reads.fetch_add(1, std::memory_order_release); }

bool TComThread::Finished() const { return FShared->Done.load(); }

int TComThread::QueuedBytes() const {
  int count = 0;
  if (ioctl(FFd, FIONREAD, &count) != 0) return 0;
  return count;
}

// Waits on the wake-up descriptor only. False when asked to stop.
bool TComThread::Pause(int milliseconds) {
  pollfd wake{FWakeFd, POLLIN, 0};
  int r = ::poll(&wake, 1, milliseconds);
  return !(r > 0 && (wake.revents & POLLIN));
}

void TComThread::Service(const std::shared_ptr<TShared> &shared, uint64_t sequence,
                         const TComEventHandler &handler, TComEvents events, int lostError) {
  {
    std::lock_guard<std::mutex> guard(shared->Lock);
    if (shared->Stopping || !shared->Pending || shared->Sequence != sequence) return;
  }
  bool failed = false;
  try {
    handler(events, lostError);
  } catch (const std::exception &e) {
    failed = true;
    qWarning("serial: receive handler raised, no further notifications: %s", e.what());
  } catch (...) {
    failed = true;
    qWarning("serial: receive handler raised, no further notifications");
  }
  {
    std::lock_guard<std::mutex> guard(shared->Lock);
    if (shared->Sequence == sequence) {
      shared->Pending = false;
      shared->Failed = failed;
    }
  }
  shared->Changed.notify_all();
}

bool TComThread::Deliver(TComEvents events, int lostError) {
  uint64_t sequence;
  {
    std::lock_guard<std::mutex> guard(FShared->Lock);
    if (FShared->Stopping) return false;
    FShared->Pending = true;
    sequence = ++FShared->Sequence;
  }
  // Should the context be destroyed before the call runs, Qt drops the
  // call instead of running the handler for a dead port.
  QMetaObject::invokeMethod(
      FContext,
      [shared = FShared, sequence, handler = FHandler, events, lostError] {
        Service(shared, sequence, handler, events, lostError);
      },
      Qt::QueuedConnection);
  std::unique_lock<std::mutex> lock(FShared->Lock);
  FShared->Changed.wait(lock, [&] { return FShared->Stopping || !FShared->Pending; });
  return !FShared->Stopping && !FShared->Failed;
}

void TComThread::Execute() {
  const bool wantRx = FEvents & ComEventBit(evRxChar);
  const bool wantError = FEvents & ComEventBit(evError);
  // Bytes a handler saw and left unread: not announced again until more
  // arrive or somebody reads, as a receive event means "new characters".
  bool unreadKnown = false;
  int unreadCount = 0;
  uint64_t unreadReads = 0;
  bool errorAnnounced = false;
  bool lossAnnounced = false;

  for (;;) {
    pollfd fds[2] = {{FFd, short(wantRx ? POLLIN : 0), 0}, {FWakeFd, POLLIN, 0}};
    int r = ::poll(fds, 2, -1);
    if (r < 0) {
      if (errno == EINTR) continue;
      if (!Pause(BrokenLinePauseMs)) break;
      continue;
    }
    if (fds[1].revents) break;
    const short revents = fds[0].revents;
    const bool invalid = revents & POLLNVAL;

    const bool broken = revents & (POLLHUP | POLLERR | POLLNVAL);
    bool rest = broken;
    TComEvents events = 0;
    // Reads counted before the queue is measured: a Read after this point
    // shows up as a change, whichever side of the measurement it fell on.
    const uint64_t reads = FShared->Reads.load(std::memory_order_acquire);
    int count = 0;
    if (wantRx && (revents & POLLIN)) {
      count = QueuedBytes();
      if (count <= 0 || (unreadKnown && count <= unreadCount && reads == unreadReads))
        rest = true;
      else
        events |= ComEventBit(evRxChar);
    }
    if (revents & POLLERR) {
      if (wantError && !errorAnnounced) events |= ComEventBit(evError);
      errorAnnounced = true;
    } else {
      errorAnnounced = false;
    }

    // The line is gone: said once, so that whoever waits on it stops waiting
    // instead of taking the quiet for a silent peer. Bytes that came
    // before the hang-up go in the same hand-over and are handled first.
    int lost = 0;
    if (broken && !lossAnnounced) {
      lost = invalid ? EBADF : EIO;
      lossAnnounced = true;
    }

    if (events || lost) {
      if (!Deliver(events, lost)) break;
      if (events & ComEventBit(evRxChar)) {
        // Nothing read: remember the count measured before the hand-over,
        // not one measured now, so that bytes arriving meanwhile are still
        // announced (at worst twice, never not at all).
        unreadKnown = FShared->Reads.load(std::memory_order_acquire) == reads;
        if (unreadKnown) {
          unreadCount = count;
          unreadReads = reads;
          rest = true;
        }
      }
    }
    if (invalid) break;  // nothing more will ever come from this descriptor
    if (rest && !Pause(broken ? BrokenLinePauseMs : UnreadPauseMs)) break;
  }
  FShared->Done.store(true);
}
