// The event thread of an open port.
//
// It sleeps in poll() on the device and on a wake-up descriptor, turns
// readiness into a TComEvents set and hands the set to the thread the port
// lives on, blocking until that thread has handled it. A hang-up or error of
// the device goes along once as the line's loss (OnLineLost). So every handler runs
// on the GUI thread, one at a time, and reads the bytes without a lock.
//
// Stopping never waits for the GUI thread: Stop() releases a thread that is
// blocked on a hand-over, and a hand-over still queued when the port closes
// finds itself cancelled and does nothing. That is what lets Close run from
// anywhere on the GUI thread, inside OnRxChar included, without deadlock.
#pragma once

#include <memory>
#include <thread>

#include "ComPort.h"

class TComThread {
 public:
  // Starts at once. Throws std::system_error when the OS refuses the wake-up
  // descriptor or the thread.
  TComThread(TCustomComPort *port, int fd, TComEvents events);
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
                      TCustomComPort *port, TComEvents events, int lostError);

  TCustomComPort *FPort;
  int FFd;
  TComEvents FEvents;
  int FWakeFd = -1;
  std::shared_ptr<TShared> FShared;
  std::thread FThread;
};
