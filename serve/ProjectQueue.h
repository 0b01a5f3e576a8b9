// One register's queue: requests for a project run one at a time, in the
// order they came, on a worker thread of the project's own whose Qt event
// loop runs, since a register action waits for the register by processing
// its own thread's events. Different projects have different workers and
// run at the same time. The threads that took the requests only wait here.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include <QThread>

#include "Answer.h"

class QObject;

class TProjectQueue {
 public:
  explicit TProjectQueue(const std::string &name);
  // Waits for the action in progress, then ends the worker.
  ~TProjectQueue();
  TProjectQueue(const TProjectQueue &) = delete;
  TProjectQueue &operator=(const TProjectQueue &) = delete;

  enum class TOutcome {
    Done,      // the job ran: Answer is its answer
    TimedOut,  // it did not start within the queue time-out; it never will
    Stopping,  // the queue was closed before it started; it never will
  };
  struct TResult {
    TOutcome Outcome = TOutcome::Done;
    TAnswer Answer;
  };

  // Queues job behind the ones before it and waits: at most queueTimeout
  // for it to start, then until it ends. The job runs to its end even when
  // the caller has stopped caring, so it must keep whatever must be kept
  // itself. job must not throw.
  TResult Run(std::function<TAnswer()> job, std::chrono::milliseconds queueTimeout);

  // A job runs or waits.
  bool Busy() const;
  // Takes no more jobs; those still waiting are dropped (Stopping), the one
  // in progress runs to its end.
  void Close();

 private:
  struct TJob;
  void Pump();  // on the worker

  mutable std::mutex FMutex;
  std::condition_variable FChanged;
  std::deque<std::shared_ptr<TJob>> FWaiting;
  bool FPumping = false;  // a Pump is posted or running
  bool FRunning = false;  // a job runs
  bool FClosed = false;
  QThread FThread;
  QObject *FContext = nullptr;  // lives in FThread: where Pump is posted
};
