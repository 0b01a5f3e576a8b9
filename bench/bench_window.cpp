// bench_window: the register's side of a PLU read and a verify, run as the
// command line runs them (the editor's logic on the calling thread) and as
// the window program runs them (the PLU window's buttons, its event loop
// kept busy by a repaint that takes 150 ms every 400 ms), and a Z report
// whose every line goes to its journal before the acknowledgement beside
// the same lines read as an X report (no journal). Prints, from the
// simulated register, how fast each data frame was acknowledged (median,
// p99, max) and the time against the wire time; asserts nothing.
//
//   bench_window [--plus N] [--sales N]   (10,000 PLUs, 5,000 report lines,
//                                          line paced at 57600 bit/s)
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "BenchRegister.h"
#include "HostSteal.h"
#include "PluLogic.h"
#include "PluWindow.h"
#include "RegisterSlot.h"
#include "ReportReader.h"
#include "UserDialogs.h"

namespace {

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct TBench : TBenchRegister {
  // Runs step and prints the register's view of it.
  template <class F>
  void Measure(const char *what, F &&step) {
    Sim.WithEngine([](Sim::TEngine &e) { e.Stats = {}; });
    const uint64_t in = Sim.BytesIn(), out = Sim.BytesOut();
    const double steal = StealSeconds(), t0 = Now();
    step();
    const double wall = Now() - t0, wire = WireSecondsSince(in, out);
    std::vector<double> us = Sim.Stats().AckLatencyUs;
    if (us.empty()) {
      std::printf("%-44s nothing acknowledged\n", what);
      return;
    }
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[std::min(us.size() - 1, size_t(q * double(us.size())))]; };
    std::printf("%-44s %6zu lines  ACK median %6.1f us  p99 %7.1f us  max %8.1f us   %7.3f s, wire %7.3f s, "
                "over it %+6.3f s%s\n",
                what, us.size(), at(0.5), at(0.99), us.back(), wall, wire, wall - wire,
                StealNote(StealSeconds() - steal, wall).c_str());
  }
};

}  // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  int plus = 10000, sales = 5000;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--plus") && i + 1 < argc) {
      plus = std::max(1, std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--sales") && i + 1 < argc) {
      sales = std::max(0, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: bench_window [--plus N] [--sales N]\n");
      return 2;
    }
  }
  TBench b;
  if (!b.Start("bench_window")) return 1;
  b.FillRegister(plus);
  b.Pace(true);
  TRegisterSlot slot;
  b.Context.Slot = &slot;
  // The verify's "no differences" box is answered at once.
  SetMessageBoxHandler([](const QString &, const QString &, int, int) { return 1; });

  std::printf("== %d PLUs, line paced at %d bit/s ==\n", plus, TBenchRegister::Baud);
  TProgress quiet;
  {
    TPluLogic logic(b.Context);
    b.Measure("command line: plu read", [&] { logic.Read(quiet); });
    b.Measure("command line: plu verify", [&] { logic.Verify(quiet); });
  }
  {
    TEPlu window(b.Context);
    window.show();
    b.Measure("window: Citire din casa", [&] { window.BitBtn1->click(); });
    b.Measure("window: Verificare casa", [&] { window.BVerify->click(); });
    // A window whose thread is held now and then (a slow repaint, a big
    // model reset): the register must not notice.
    QTimer stall;
    QObject::connect(&stall, &QTimer::timeout, [] { std::this_thread::sleep_for(std::chrono::milliseconds(150)); });
    stall.start(400);
    b.Measure("window, thread held 150 ms in 400: read", [&] { window.BitBtn1->click(); });
    b.Measure("window, thread held 150 ms in 400: verify", [&] { window.BVerify->click(); });
  }
  if (sales > 0) {
    // A register that sold `sales` different articles (sale i sells article
    // 3i mod n, so n is kept off the multiples of 3).
    b.FillRegister(sales % 3 ? sales : sales + 1);
    b.Sim.WithEngine([&](Sim::TEngine &e) {
      e.Sales.Clear();
      e.Sales.Seed(e.Tables, 3 * sales);
    });
    std::printf("== the PLU sales, %d articles sold, line paced at %d bit/s ==\n", sales, TBenchRegister::Baud);
    TLineList x;
    b.Measure("X report (no journal)", [&] { x = ReadAndKeep(b.Context, "RSX000004", ProjectZNames()).Lines; });
    TReportOutcome z;
    b.Measure("Z report, every line journalled first", [&] { z = ReadAndKeep(b.Context, "RSZ000004", ProjectZNames()); });
    if (!z.Result.Ok || z.Lines.size() != x.size())
      std::printf("Z report: %s\n", z.Result.Ok ? "another number of lines" : z.Result.Text().c_str());
  }
  return 0;
}
