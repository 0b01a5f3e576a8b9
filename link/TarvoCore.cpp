#include "TarvoCore.h"

#include <condition_variable>
#include <mutex>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

struct TTARVO::Impl {
  QThread Thread;
  // Lives on the link's thread: the target of everything sent there.
  QObject *Context = nullptr;
  // Made, used and destroyed on the link's thread only.
  std::unique_ptr<TLinkEngine> Engine;

  // How the link's thread wakes the thread waiting for it: its event
  // dispatcher when it has one, else the condition.
  std::mutex Lock;
  std::condition_variable Changed;
  QAbstractEventDispatcher *Waiter = nullptr;

  // Runs fn on the link's thread and returns when it has run. For quick
  // steps only (making and destroying): the caller's events do not run.
  void RunNow(const std::function<void()> &fn) {
    QMetaObject::invokeMethod(Context, fn, Qt::BlockingQueuedConnection);
  }
};

TTARVO::TTARVO(bool writeMode, int silenceMs) : FWriteMode(writeMode), FImpl(std::make_unique<Impl>()) {
  Impl &d = *FImpl;
  d.Thread.setObjectName(QStringLiteral("register link"));
  d.Context = new QObject;
  d.Context->moveToThread(&d.Thread);
  d.Thread.start();
  d.RunNow([&d, writeMode, silenceMs] {
    d.Engine = std::make_unique<TLinkEngine>(writeMode, silenceMs);
    d.Engine->Wake = [&d] {
      {
        std::lock_guard<std::mutex> guard(d.Lock);
        if (d.Waiter) d.Waiter->wakeUp();
      }
      d.Changed.notify_all();
    };
  });
}

TTARVO::~TTARVO() {
  Impl &d = *FImpl;
  // The port closes on its own thread; a delivery still queued for it then
  // finds nothing to do.
  d.RunNow([&d] {
    d.Engine.reset();
    delete d.Context;
    d.Context = nullptr;
  });
  d.Thread.quit();
  d.Thread.wait();
}

const TReceiver &TTARVO::Receiver() const { return FImpl->Engine->Receiver(); }

bool TTARVO::LineLost() const { return FImpl->Engine->LostError.load() > 0; }

bool TTARVO::Connected() const { return !FBusy && FImpl->Engine->Connected; }

void TTARVO::SetError(int32_t code) {
  FLastError = ErrorMessage(code);
  FLastCode = code;
  FLastOs = 0;
}

void TTARVO::SetError(int32_t code, const std::string &detail) {
  SetError(code);
  FLastError += ": " + detail;
}

void TTARVO::SetTrace(std::shared_ptr<TLinkTrace> trace) {
  TLinkEngine *engine = FImpl->Engine.get();
  FImpl->RunNow([engine, trace = std::move(trace)]() mutable { engine->SetTrace(std::move(trace)); });
}

// An exchange asked for from inside the wait of another (a window event
// handled meanwhile) is refused instead of nesting.
bool TTARVO::Begin() {
  if (!FBusy) return true;
  SetError(LE_Busy);
  return false;
}

// Starts a step on the link's thread and waits until the engine says it is
// done, letting this thread's events run meanwhile.
void TTARVO::RunOnLink(const std::function<void(TLinkEngine &)> &start) {
  Impl &d = *FImpl;
  TLinkEngine &engine = *d.Engine;
  QAbstractEventDispatcher *dispatcher =
      QCoreApplication::instance() ? QAbstractEventDispatcher::instance(QThread::currentThread()) : nullptr;
  {
    std::lock_guard<std::mutex> guard(d.Lock);
    d.Waiter = dispatcher;
  }
  engine.Done.store(false);
  FBusy = true;
  QMetaObject::invokeMethod(d.Context, [&engine, start] { start(engine); }, Qt::QueuedConnection);
  int shown = 0;
  auto progress = [&] {
    const int taken = engine.LinesTaken.load(std::memory_order_acquire);
    if (taken != shown && OnLines) {
      shown = taken;
      OnLines(taken);
    }
  };
  while (!engine.Done.load(std::memory_order_acquire)) {
    if (dispatcher) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    } else {
      std::unique_lock<std::mutex> lock(d.Lock);
      d.Changed.wait(lock, [&] {
        return engine.Done.load() || engine.LinesTaken.load() != shown;
      });
    }
    progress();
  }
  // The last lines may have come with the end, after the last look.
  progress();
  {
    std::lock_guard<std::mutex> guard(d.Lock);
    d.Waiter = nullptr;
  }
  FBusy = false;
}

// The exchange's error becomes LastError; a success clears nothing.
void TTARVO::TakeResult() {
  const TLinkEngine &engine = *FImpl->Engine;
  if (!engine.Error.empty()) {
    FLastError = engine.Error;
    FLastCode = engine.ErrorCode;
    FLastOs = engine.ErrorOs;
  }
  if (engine.PortError) std::rethrow_exception(engine.PortError);
}

bool TTARVO::Connect() {
  if (!Begin()) return false;
  const std::string port = DevicePath.empty() ? "COM" + std::to_string(unsigned(PortNumber)) : DevicePath;
  const TBaudRate baud = PortBaud;
  RunOnLink([port, baud](TLinkEngine &e) {
    e.Connect(port, baud);
    e.Done.store(true, std::memory_order_release);
    if (e.Wake) e.Wake();
  });
  const TLinkEngine &engine = *FImpl->Engine;
  if (!engine.Connected) {
    FPortMessage = engine.PortMessage;
    FOsError = engine.OsError;
    FLastError = engine.Error;
    FLastCode = engine.ErrorCode;
    FLastOs = engine.ErrorOs;
  }
  return engine.Connected;
}

void TTARVO::Disconnect() {
  if (FBusy) return;
  RunOnLink([](TLinkEngine &e) {
    e.Disconnect();
    e.Done.store(true, std::memory_order_release);
    if (e.Wake) e.Wake();
  });
}

bool TTARVO::ReadLines(const std::string &command, TLineList &lines, const TLineKeeper &keep) {
  if (!Begin()) return false;
  TLinkEngine &engine = *FImpl->Engine;
  RunOnLink([command, keep](TLinkEngine &e) { e.StartRead(command, keep); });
  // The lines that were acknowledged are the caller's, on every path.
  for (std::string &line : engine.Lines) lines.push_back(std::move(line));
  engine.Lines.clear();
  TakeResult();
  return engine.Ok;
}

bool TTARVO::SendText(const std::string &text) {
  if (!Begin()) return false;
  RunOnLink([text](TLinkEngine &e) { e.StartWrite(text); });
  TakeResult();
  return FImpl->Engine->Ok;
}

bool TTARVO::SendRecord(int kind, const void *rec) {
  const std::string text = BuildRecordText(kind, rec);
  if (text.empty()) {
    SetError(LE_RecordKind);
    return false;
  }
  return SendText(text);
}

bool TTARVO::SendCommand(const std::string &text) {
  if (!Begin()) return false;
  RunOnLink([text](TLinkEngine &e) { e.SendOnly(text); });
  TakeResult();
  return FImpl->Engine->Ok;
}
