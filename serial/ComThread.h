// The event thread of an open port.
//
// It sleeps in poll() on the device and on a wake-up descriptor, turns
// readiness into a TComEvents set and hands the set to the handler on the
// thread of its context object (the port's), blocking until that thread has
// handled it. A hang-up or error of the device goes along once as the
// line's loss. So every handler runs on the port's thread, one at a time,
// and reads the bytes without a lock. The thread knows nothing of the port.
//
// Stopping never waits for the GUI thread: Stop() releases a thread that is
// blocked on a hand-over, and a hand-over still queued when the port closes
// finds itself cancelled and does nothing. That is what lets Close run from
// anywhere on the GUI thread, inside OnRxChar included, without deadlock.
#pragma once

#include <memory>
#include <thread>

#include "ComDevice.h"
#include "ComTypes.h"

class TComThread {
 public:
  // Starts at once. Throws std::system_error when the OS refuses the wake-up
  // descriptor or the thread.
  TComThread(int fd, TComEvents events, QObject *context, TComEventHandler handler);
  ~TComThread();  // Stop()
  TComThread(const TComThread &) = delete;
  TComThread &operator=(const TComThread &) = delete;

  // GUI thread: ends the thread and returns once it has ended. Idempotent.
  void Stop();
  // GUI thread: Read took bytes out of the input queue. The thread uses this
  // to tell a handler that leaves bytes unread from one that keeps up.
  void NoteRead();
  // True once the thread has left its loop (stopped, or a handler raised).
  bool Finished() const;

  struct TShared;

 private:
  void Execute();
  bool Deliver(TComEvents events, int lostError);
  bool Pause(int milliseconds);
  int QueuedBytes() const;
  // Runs a hand-over on the port's thread; stale or cancelled ones do nothing.
  static void Service(const std::shared_ptr<TShared> &shared, uint64_t sequence,
                      const TComEventHandler &handler, TComEvents events, int lostError);

  QObject *FContext;
  TComEventHandler FHandler;
  int FFd;
  TComEvents FEvents;
  int FWakeFd = -1;
  std::shared_ptr<TShared> FShared;
  std::thread FThread;
};
