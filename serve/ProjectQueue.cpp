#include "ProjectQueue.h"

#include <QMetaObject>
#include <QObject>

struct TProjectQueue::TJob {
  enum TState { Waiting, Running, Done, Dropped };
  std::function<TAnswer()> Work;
  TState State = Waiting;
  TAnswer Answer;
};

TProjectQueue::TProjectQueue(const std::string &name) {
  FThread.setObjectName(QString::fromStdString("serve " + name));
  FContext = new QObject;
  FContext->moveToThread(&FThread);
  FThread.start();
}

TProjectQueue::~TProjectQueue() {
  Close();
  {
    // Quitting the worker's loop ends every loop nested in it, the link's
    // wait for the register included: only once nothing runs.
    std::unique_lock<std::mutex> lock(FMutex);
    FChanged.wait(lock, [this] { return !FPumping; });
  }
  FThread.quit();
  FThread.wait();
  delete FContext;
}

TProjectQueue::TResult TProjectQueue::Run(std::function<TAnswer()> job, std::chrono::milliseconds queueTimeout) {
  auto j = std::make_shared<TJob>();
  j->Work = std::move(job);
  std::unique_lock<std::mutex> lock(FMutex);
  if (FClosed) return {TOutcome::Stopping, {}};
  FWaiting.push_back(j);
  if (!FPumping) {
    // One Pump at a time: a second one posted while a job runs would be
    // delivered by the link's wait inside it and nest a second action.
    FPumping = true;
    QMetaObject::invokeMethod(FContext, [this] { Pump(); }, Qt::QueuedConnection);
  }
  if (!FChanged.wait_for(lock, queueTimeout, [&] { return j->State != TJob::Waiting; })) {
    std::erase(FWaiting, j);
    return {TOutcome::TimedOut, {}};
  }
  FChanged.wait(lock, [&] { return j->State == TJob::Done || j->State == TJob::Dropped; });
  if (j->State == TJob::Dropped) return {TOutcome::Stopping, {}};
  return {TOutcome::Done, std::move(j->Answer)};
}

void TProjectQueue::Pump() {
  for (;;) {
    std::shared_ptr<TJob> j;
    {
      std::lock_guard<std::mutex> lock(FMutex);
      if (FWaiting.empty()) {
        FPumping = false;
        FChanged.notify_all();
        return;
      }
      j = FWaiting.front();
      FWaiting.pop_front();
      j->State = TJob::Running;
      FRunning = true;
    }
    FChanged.notify_all();
    TAnswer answer = j->Work();
    {
      std::lock_guard<std::mutex> lock(FMutex);
      j->Answer = std::move(answer);
      j->State = TJob::Done;
      FRunning = false;
    }
    FChanged.notify_all();
  }
}

bool TProjectQueue::Busy() const {
  std::lock_guard<std::mutex> lock(FMutex);
  return FRunning || !FWaiting.empty();
}

void TProjectQueue::Close() {
  std::lock_guard<std::mutex> lock(FMutex);
  FClosed = true;
  for (auto &j : FWaiting) j->State = TJob::Dropped;
  FWaiting.clear();
  FChanged.notify_all();
}
