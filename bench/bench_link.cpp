// bench_link: the link's transfers against the simulated register over a
// pseudo-terminal. Prints its figures; asserts nothing.
//
//   bench_link [--records N] [--paced-records N] [--no-silence] [--trace FILE]
//
// 1. programs N PLU records and reads them back (N = 10,000), unpaced:
//    records per second and the link's CPU time per record;
// 2. the simulator's measure of the link's reaction: last byte of a data
//    frame to the first byte of the acknowledgement, median and 99th percentile;
// 3. the same transfers on a line paced at 57600 bit/s (N = 1,000 by default,
//    as they take about 17 s each way): elapsed against the wire time;
// 4. the CPU time of a read that ends by the five-second silence.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include <QCoreApplication>

#include "HostSteal.h"
#include "Simulator.h"
#include "TarvoCore.h"

namespace {

double Clock(clockid_t id) {
  timespec ts{};
  clock_gettime(id, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Wall time, CPU of this thread (the link's), of the process, of the simulator.
struct TSample {
  double Wall, Thread, Process, Sim;
  uint64_t In, Out;
};

TSample Take(Sim::TSimulator &sim) {
  return {Clock(CLOCK_MONOTONIC), Clock(CLOCK_THREAD_CPUTIME_ID), Clock(CLOCK_PROCESS_CPUTIME_ID),
          sim.ThreadCpuSeconds(), sim.BytesIn(), sim.BytesOut()};
}

void Report(const char *what, int count, const TSample &a, const TSample &b) {
  const double wall = b.Wall - a.Wall;
  const double thread = b.Thread - a.Thread;
  const double linkTotal = (b.Process - a.Process) - (b.Sim - a.Sim);
  std::printf("%-34s %7d in %8.3f s  %9.0f /s  link thread CPU %6.1f us/record"
              "  link process CPU %6.1f us/record\n",
              what, count, wall, count / wall, thread / count * 1e6, linkTotal / count * 1e6);
}

std::unique_ptr<TTARVO> Open(Sim::TSimulator &sim, bool write, int silenceMs = 5000) {
  auto link = std::make_unique<TTARVO>(write, silenceMs);
  link->DevicePath = sim.DevicePath();
  link->PortBaud = br57600;
  if (!link->Connect()) {
    std::fprintf(stderr, "bench_link: cannot open %s: %s\n", sim.DevicePath().c_str(),
                 link->LastError().c_str());
    std::exit(1);
  }
  return link;
}

// The samples are taken after Connect, so the figures are the transfer's alone.
int Program(Sim::TSimulator &sim, int count, TSample *a = nullptr, TSample *b = nullptr) {
  auto w = Open(sim, true);
  if (a) *a = Take(sim);
  for (int i = 1; i <= count; ++i) {
    TPluRec p{};
    p.Cod = 100000 + i;
    p.Nume = "ARTICOL " + std::to_string(i);
    p.NumeAditional = i % 3 == 0 ? "ADITIONAL" : "";
    p.CodDep = 1 + i % 20;
    p.CodUM = 1 + i % 2;
    p.Pret1 = (i % 1000) + 0.99;
    p.Pret2 = (i % 7) * 1.5;
    p.Nou = true;
    if (!w->SendRecord(rkPlu, &p)) {
      std::fprintf(stderr, "bench_link: record %d refused: %s\n", i, w->LastError().c_str());
      if (b) *b = Take(sim);
      return i - 1;
    }
  }
  if (b) *b = Take(sim);
  return count;
}

int ReadBack(Sim::TSimulator &sim, TSample *a, TSample *b) {
  auto r = Open(sim, false);
  TLineList lines;
  *a = Take(sim);
  const bool ok = r->ReadLines("D10000", lines);
  *b = Take(sim);
  if (!ok) std::fprintf(stderr, "bench_link: read failed: %s\n", r->LastError().c_str());
  return int(lines.size());
}

void Latencies(Sim::TSimulator &sim) {
  std::vector<double> us = sim.Stats().AckLatencyUs;
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  const auto at = [&](double q) { return us[std::min(us.size() - 1, size_t(q * double(us.size())))]; };
  std::printf("%-34s %7zu samples  median %7.1f us  p99 %7.1f us  max %8.1f us  (goal: median < 1000 us)\n",
              "ack latency (data frame -> ACK)", us.size(), at(0.5), at(0.99), us.back());
}

void ResetSim(Sim::TSimulator &sim) {
  sim.WithEngine([](Sim::TEngine &e) {
    e.Tables.Plus.clear();
    e.Stats = {};
  });
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  int records = 10000, paced = 1000;
  bool silence = true;
  std::string trace;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--records") && i + 1 < argc) records = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--paced-records") && i + 1 < argc) paced = std::max(0, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--no-silence")) silence = false;
    else if (!std::strcmp(argv[i], "--trace") && i + 1 < argc) trace = argv[++i];
    else {
      std::fprintf(stderr, "usage: bench_link [--records N] [--paced-records N] [--no-silence] [--trace FILE]\n");
      return 2;
    }
  }
  char tmpl[] = "/tmp/bench-link.XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string dir = tmpl;
  Sim::TSimulator sim;
  std::string err;
  if ((!trace.empty() && !sim.OpenTrace(trace, err)) || !sim.Start(dir + "/COM1", err)) {
    std::fprintf(stderr, "bench_link: %s\n", err.c_str());
    return 1;
  }
  sim.WithEngine([&](Sim::TEngine &e) {
    e.Tables.PluCapacity = size_t(std::max(records, paced)) + 100;
  });

  std::printf("== unpaced pseudo-terminal ==\n");
  ResetSim(sim);
  TSample a{}, b{};
  const int written = Program(sim, records, &a, &b);
  Report("program PLU records", written, a, b);
  sim.WithEngine([](Sim::TEngine &e) { e.Stats = {}; });
  const int read = ReadBack(sim, &a, &b);
  Report("read PLU lines", read, a, b);
  Latencies(sim);

  if (paced > 0) {
    std::printf("== paced at 57600 bit/s (10 bits a byte) ==\n");
    Sim::TFaults f;
    f.Baud = 57600;
    sim.SetFaults(f);
    for (int pass = 0; pass < 2; ++pass) {
      ResetSim(sim);
      if (pass == 1) Program(sim, paced);  // the read needs PLUs to read; not timed
      const double steal = StealSeconds();
      const int n = pass == 0 ? Program(sim, paced, &a, &b) : ReadBack(sim, &a, &b);
      const double wall = b.Wall - a.Wall;
      const double wire = double((b.In - a.In) + (b.Out - a.Out)) * 10.0 / 57600.0;
      std::printf("%-34s %7d in %8.3f s  wire time %8.3f s  excess %+6.2f %%  (goal: within 3 %%)%s\n",
                  pass == 0 ? "program PLU records" : "read PLU lines", n, wall, wire,
                  (wall / wire - 1.0) * 100.0, StealNote(steal, wall).c_str());
    }
    sim.SetFaults({});
  }

  if (silence) {
    std::printf("== read ended by the five-second silence ==\n");
    Sim::TFaults f;
    f.SilentAfterFrame = 0;
    sim.SetFaults(f);
    auto r = Open(sim, false, 5000);
    TLineList lines;
    a = Take(sim);
    const bool ok = r->ReadLines("D260", lines);
    b = Take(sim);
    std::printf("%-34s %s after %6.3f s  link thread CPU %6.2f ms  link process CPU %6.2f ms"
                "  (goal: < 50 ms)\n",
                "silent register", ok ? "succeeded?!" : r->LastError().c_str(), b.Wall - a.Wall,
                (b.Thread - a.Thread) * 1e3, ((b.Process - a.Process) - (b.Sim - a.Sim)) * 1e3);
  }
  sim.Stop();
  std::system(("rm -rf '" + dir + "'").c_str());
  return 0;
}
