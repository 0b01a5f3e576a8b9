// Figures for the serial component over a pseudo-terminal: how long a byte
// takes from the line to OnRxChar on the GUI thread, a frame's round trip,
// write throughput, and the CPU an open port costs while nothing happens.
// Prints figures only; nothing here is a pass/fail check.
#include <benchmark/benchmark.h>

#include <atomic>
#include <ctime>
#include <thread>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "ComPort.h"
#include "PtyPair.h"

namespace {

double ProcessCpuMs() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Waits the way the register link does: sleeping in the event loop.
template <typename Pred>
void WaitInEventLoop(Pred pred) {
  while (!pred()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Opens port on the pty's far end, counting into received every byte it
// takes in OnRxChar.
void OpenCounting(TComPort &port, TPtyPair &pty, int64_t &received) {
  port.SetPort(pty.SlavePath());
  port.OnRxChar = [&received](TCustomComPort *s, int count) {
    char buf[256];
    received += s->Read(buf, std::min(count, 256));
  };
  port.Open();
}

void BM_ByteToOnRxChar(benchmark::State &state) {
  TPtyPair pty;
  TComPort port;
  int64_t received = 0;
  OpenCounting(port, pty, received);
  for (auto _ : state) {
    const int64_t before = received;
    pty.Send("x");
    WaitInEventLoop([&] { return received > before; });
  }
}
BENCHMARK(BM_ByteToOnRxChar)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Request frame out, a seven-byte acknowledgement back, as one exchange.
void BM_FrameRoundTrip(benchmark::State &state) {
  TPtyPair pty;
  TComPort port;
  int64_t received = 0;
  OpenCounting(port, pty, received);
  std::atomic<bool> running{true};
  std::thread registerSide([&] {
    const std::string ack("\x10\x02\x06\x10\x03\x42\x3F", 7);
    while (running) {
      if (pty.Receive(11, 50).size() == 11) pty.Send(ack);
    }
  });
  const std::string frame("\x10\x02\x44\x35\x30\x30\x30\x10\x03\xD8\xCF", 11);
  for (auto _ : state) {
    const int64_t target = received + 7;
    port.Write(frame.data(), int32_t(frame.size()));
    WaitInEventLoop([&] { return received >= target; });
  }
  running = false;
  registerSide.join();
}
BENCHMARK(BM_FrameRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_WriteThroughput(benchmark::State &state) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  port.SetEvents(0);
  port.Open();
  std::atomic<bool> running{true};
  std::thread drain([&] {
    while (running) pty.Take();
  });
  std::string block(size_t(state.range(0)), 'x');
  int64_t bytes = 0;
  for (auto _ : state) bytes += port.Write(block.data(), int32_t(block.size()));
  state.SetBytesProcessed(bytes);
  running = false;
  drain.join();
}
BENCHMARK(BM_WriteThroughput)->Arg(1000)->Arg(64 << 10)->UseRealTime();

// CPU the process burns per second of idle event loop with an open port:
// quiet line, hung-up line, and bytes nobody reads.
void IdleCpu(benchmark::State &state, int mode) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  if (mode == 2) port.OnRxChar = [](TCustomComPort *, int) {};
  port.Open();
  if (mode == 1) pty.CloseMaster();
  if (mode == 2) pty.Send("unread");
  double cpu = 0;
  for (auto _ : state) {
    const double start = ProcessCpuMs();
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    cpu += ProcessCpuMs() - start;
  }
  state.counters["cpu_ms_per_s"] = cpu / double(state.iterations());
}
void BM_IdleCpuQuietLine(benchmark::State &state) { IdleCpu(state, 0); }
void BM_IdleCpuHungUpLine(benchmark::State &state) { IdleCpu(state, 1); }
void BM_IdleCpuUnreadBytes(benchmark::State &state) { IdleCpu(state, 2); }
BENCHMARK(BM_IdleCpuQuietLine)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IdleCpuHungUpLine)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IdleCpuUnreadBytes)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
