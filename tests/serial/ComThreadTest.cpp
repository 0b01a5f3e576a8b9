// The event thread: notifications on the GUI thread, and closing or failing
// at every awkward moment without deadlock, crash or a spinning core.
#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "ComPort.h"
#include "EventPump.h"
#include "PtyPair.h"

namespace {

// CPU time of the whole process while the event loop runs idle for a while.
double CpuMillisecondsWhileIdle(int milliseconds) {
  timespec a, b;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
  return (b.tv_sec - a.tv_sec) * 1e3 + (b.tv_nsec - a.tv_nsec) / 1e6;
}

// Generous: a spinning thread burns about the whole interval.
constexpr int IdleWindowMs = 300;
constexpr double SpinLimitMs = 150;

// Long enough for the event thread to have queued a hand-over.
void LetTheThreadQueue() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

// Waits while the GUI thread handles no events, so hand-overs stay queued.
template <typename Pred>
void WaitWithoutEvents(Pred pred) {
  for (int i = 0; i < 1000 && !pred(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

}  // namespace

TEST(ComThread, OnRxCharRunsOnTheGuiThreadWithTheWaitingCount) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  std::string received;
  std::vector<int> counts;
  bool onGuiThread = true;
  TCustomComPort *sender = nullptr;
  port.OnRxChar = [&](TCustomComPort *s, int count) {
    sender = s;
    onGuiThread = onGuiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    counts.push_back(count);
    std::string chunk(size_t(count), '\0');
    ASSERT_EQ(s->Read(chunk.data(), count), count);
    received += chunk;
  };
  port.Open();

  pty.Send("0123456789");
  ASSERT_TRUE(PumpUntil([&] { return received.size() == 10; }));
  EXPECT_EQ(received, "0123456789");
  EXPECT_TRUE(onGuiThread);
  EXPECT_EQ(sender, &port);
  for (int c : counts) EXPECT_GT(c, 0);

  // Byte at a time, as a slow register delivers: every byte is announced.
  for (char c : std::string("abc")) {
    pty.Send(std::string(1, c));
    ASSERT_TRUE(PumpUntil([&] { return received.back() == c; }));
  }
  EXPECT_EQ(received, "0123456789abc");
}

TEST(ComThread, NoNotificationForBytesAlreadyReadOrLeftUnread) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  std::vector<int> counts;
  port.OnRxChar = [&](TCustomComPort *, int count) { counts.push_back(count); };
  port.Open();

  // The thread has announced these, but they are read before the GUI
  // thread gets to the announcement: the handler is not called with 0.
  pty.Send("xyz");
  WaitWithoutEvents([&] { return port.InputCount() == 3; });
  LetTheThreadQueue();
  char buf[8];
  ASSERT_EQ(port.Read(buf, sizeof buf), 3);
  PumpFor(150);
  EXPECT_TRUE(counts.empty());

  // A handler that leaves the bytes queued hears of them once, and again
  // only when more arrive; meanwhile the thread rests instead of spinning.
  pty.Send("abc");
  ASSERT_TRUE(PumpUntil([&] { return !counts.empty(); }));
  EXPECT_LT(CpuMillisecondsWhileIdle(IdleWindowMs), SpinLimitMs);
  EXPECT_EQ(counts, std::vector<int>{3});
  pty.Send("de");
  ASSERT_TRUE(PumpUntil([&] { return counts.size() == 2; }));
  EXPECT_EQ(counts.back(), 5);
  PumpFor(150);
  EXPECT_EQ(counts.size(), 2u);
  // Reading them (outside a notification) rearms the announcement.
  ASSERT_EQ(port.Read(buf, sizeof buf), 5);
  pty.Send("f");
  ASSERT_TRUE(PumpUntil([&] { return counts.size() == 3; }));
  EXPECT_EQ(counts.back(), 1);
}

TEST(ComThread, ClosingOrDestroyingInsideOnRxChar) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  int calls = 0;
  port.OnRxChar = [&](TCustomComPort *s, int) {
    ++calls;
    s->Close();
  };
  port.Open();
  pty.Send("a");
  ASSERT_TRUE(PumpUntil([&] { return !port.Connected(); }));
  EXPECT_EQ(calls, 1);
  pty.Send("b");
  PumpFor(100);
  EXPECT_EQ(calls, 1);

  // Closed and reopened from inside the handler: the new session works.
  int reopened = 0;
  port.OnRxChar = [&](TCustomComPort *s, int count) {
    ++reopened;
    char buf[16];
    s->Read(buf, count);
    if (reopened == 1) {
      s->Close();
      s->Open();
    }
  };
  port.Open();
  pty.Send("c");
  ASSERT_TRUE(PumpUntil([&] { return reopened == 1; }));
  EXPECT_TRUE(port.Connected());
  PumpFor(50);
  pty.Send("d");
  ASSERT_TRUE(PumpUntil([&] { return reopened == 2; }));

  // The owner destroys the component from inside its own notification.
  auto doomed = std::make_unique<TComPort>();
  doomed->SetPort(pty.SlavePath());
  bool destroyed = false;
  port.Close();
  doomed->OnRxChar = [&](TCustomComPort *, int) {
    doomed.reset();
    destroyed = true;
  };
  doomed->Open();
  pty.Send("e");
  ASSERT_TRUE(PumpUntil([&] { return destroyed; }));
  PumpFor(50);
}

TEST(ComThread, ClosingWithAHandOverStillQueued) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  int calls = 0;
  port.OnRxChar = [&](TCustomComPort *s, int count) {
    ++calls;
    char buf[64];
    s->Read(buf, std::min(count, 64));
  };
  port.Open();
  pty.Send("queued");
  LetTheThreadQueue();
  // The event thread now waits for the GUI thread, which has not looked at
  // its queue: Close must not wait for it.
  auto started = std::chrono::steady_clock::now();
  port.Close();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
  PumpFor(100);  // the stale hand-over runs now and must do nothing
  EXPECT_EQ(calls, 0);

  port.Open();
  pty.Send("fresh");
  ASSERT_TRUE(PumpUntil([&] { return calls == 1; }));

  // Destroyed with a hand-over queued: Qt drops it with the object.
  {
    TComPort other;
    port.Close();
    other.SetPort(pty.SlavePath());
    other.OnRxChar = [&](TCustomComPort *, int) { ++calls; };
    other.Open();
    pty.Send("gone");
    LetTheThreadQueue();
  }
  PumpFor(100);
  EXPECT_EQ(calls, 1);
}

TEST(ComThread, AHandlerThatRaisesEndsNotificationsOnly) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  int calls = 0;
  port.OnRxChar = [&](TCustomComPort *s, int count) {
    ++calls;
    char buf[64];
    s->Read(buf, std::min(count, 64));
    if (calls == 1) throw std::runtime_error("handler failed");
  };
  port.Open();
  pty.Send("boom");
  ASSERT_TRUE(PumpUntil([&] { return calls == 1; }));
  pty.Send("more");
  ASSERT_TRUE(PumpUntil([&] { return port.InputCount() == 4; }));
  PumpFor(100);
  EXPECT_EQ(calls, 1) << "notifications went on after the handler raised";
  EXPECT_TRUE(port.Connected());
  ASSERT_EQ(port.Write("ok", 2), 2);
  EXPECT_EQ(pty.Receive(2), "ok");
  char buf[8];
  EXPECT_EQ(port.Read(buf, sizeof buf), 4);

  // A fresh open brings them back.
  port.Close();
  port.Open();
  pty.Send("again");
  ASSERT_TRUE(PumpUntil([&] { return calls == 2; }));
}

// A hung-up line is reported once, on the GUI thread, and costs no CPU after.
TEST(ComThread, AHungUpLineDoesNotSpin) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  int calls = 0;
  std::vector<int> lost;
  port.OnRxChar = [&](TCustomComPort *, int) { ++calls; };
  port.OnLineLost = [&](TCustomComPort *sender, int osError) {
    EXPECT_EQ(sender, &port);
    EXPECT_TRUE(QThread::currentThread() == QCoreApplication::instance()->thread());
    lost.push_back(osError);
  };
  port.Open();
  EXPECT_FALSE(port.LineLost());
  pty.CloseMaster();
  EXPECT_LT(CpuMillisecondsWhileIdle(IdleWindowMs), SpinLimitMs);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(lost, std::vector<int>{EIO});
  EXPECT_TRUE(port.LineLost());
  EXPECT_TRUE(port.Connected());  // closing is the owner's call
  auto started = std::chrono::steady_clock::now();
  port.Close();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

TEST(ComThread, EventSetDecidesWhetherAThreadRuns) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  int calls = 0;
  port.OnRxChar = [&](TCustomComPort *s, int count) {
    ++calls;
    char buf[64];
    s->Read(buf, std::min(count, 64));
  };
  port.SetEvents(0);
  port.Open();
  pty.Send("a");
  PumpFor(100);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(port.InputCount(), 1);

  // Turning receive events on for an open port starts listening at once.
  port.SetEvents(ComEventBit(evRxChar));
  ASSERT_TRUE(PumpUntil([&] { return calls == 1; }));
  port.SetEvents(ComEventBit(evError));
  pty.Send("b");
  PumpFor(100);
  EXPECT_EQ(calls, 1);
}
