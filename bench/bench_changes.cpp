// bench_changes: programming only what changed, and verifying, on a big PLU
// table over a line paced at 57600 bit/s against the simulator. Prints its
// figures; asserts nothing.
//
//   bench_changes [--plus N] [--changed N] [--no-full] [--no-verify] [--no-read]
//
// 1. a register of N PLUs (10,000) read into the project (the register's
//    image); then N' prices changed (50) in the project;
// 2. "Programare modificari" end to end: the editor opened on PLU.cds, the
//    image loaded and compared, the changed records sent, image and table
//    saved (goal: under 3 s);
// 3. the full run of the same table, for comparison;
// 4. "Verificare casa": the read and the comparison, against the read's
//    wire time (goal: less than one second over it), beside a plain read of
//    the same table paced (every acknowledged line costs the link a turn
//    the wire time does not count) and unpaced: what the comparison costs.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <string>

#include <QCoreApplication>

#include "BenchRegister.h"
#include "HostSteal.h"
#include "PluLogic.h"
#include "ProgramDir.h"
#include "ProjectTables.h"
#include "RegisterImage.h"
#include "SerialSettings.h"
#include "Simulator.h"

namespace {

constexpr double Baud = 57600;

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct TLine {
  uint64_t In, Out;
};

TLine Bytes(Sim::TSimulator &sim) { return {sim.BytesIn(), sim.BytesOut()}; }
double WireSeconds(const TLine &a, const TLine &b) { return double((b.In - a.In) + (b.Out - a.Out)) * 10.0 / Baud; }

struct TBench : TBenchRegister {
  bool Start() { return TBenchRegister::Start("bench_changes"); }
  uint64_t Records() { return Sim.Stats().Records; }
};

template <class F>
double Seconds(F &&f) {
  const double t0 = Now();
  f();
  return Now() - t0;
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  int plus = 10000, changed = 50;
  bool full = true, verify = true, paceRead = true;
  for (int i = 1; i < argc; ++i) {
    auto next = [&] { return i + 1 < argc ? std::max(1, std::atoi(argv[++i])) : 1; };
    if (!std::strcmp(argv[i], "--plus")) plus = next();
    else if (!std::strcmp(argv[i], "--changed")) changed = next();
    else if (!std::strcmp(argv[i], "--no-full")) full = false;
    else if (!std::strcmp(argv[i], "--no-verify")) verify = false;
    else if (!std::strcmp(argv[i], "--no-read")) paceRead = false;
    else {
      std::fprintf(stderr, "usage: bench_changes [--plus N] [--changed N] [--no-full] [--no-verify] [--no-read]\n");
      return 2;
    }
  }
  changed = std::min(changed, plus);
  TBench b;
  if (!b.Start()) return 1;
  TProgress quiet;

  std::printf("== a register of %d PLUs, read into the project; %d prices changed ==\n", plus, changed);
  b.Pace(false);
  b.FillRegister(plus);
  {
    TPluLogic logic(b.Context);
    const TActionResult r = logic.Read(quiet);
    if (!r.Ok || logic.Table().RecordCount() != plus) {
      std::fprintf(stderr, "bench_changes: read failed (%d rows): %s\n", logic.Table().RecordCount(),
                   r.Text().c_str());
      return 1;
    }
    // Prices spread over the table, as a dealer's week of changes.
    std::mt19937 random(11);
    std::set<int> rows;
    while (int(rows.size()) < changed) rows.insert(1 + int(random() % unsigned(plus)));
    for (int recNo : rows) {
      const std::string why = logic.SetCell(recNo, TPluLogic::colPret1, std::to_string(recNo % 500) + ",25");
      if (!why.empty()) std::fprintf(stderr, "bench_changes: %s\n", why.c_str());
    }
    logic.SavePluTable();
  }

  std::printf("== programming the changes, line paced at 57600 bit/s ==\n");
  b.Pace(true);
  double changesRun = 0;
  {
    const uint64_t records0 = b.Records();
    const TLine l0 = Bytes(b.Sim);
    std::unique_ptr<TPluLogic> logic;
    TActionResult r;
    double open = 0, run = 0;
    changesRun = Seconds([&] {
      open = Seconds([&] { logic = std::make_unique<TPluLogic>(b.Context); });
      run = Seconds([&] { r = logic->ProgramChanges(quiet); });
    });
    const double wire = WireSeconds(l0, Bytes(b.Sim));
    if (!r.Ok) std::fprintf(stderr, "bench_changes: changes run failed: %s\n", r.Text().c_str());
    std::printf("%-40s %7.3f s  (%llu records, wire %6.3f s)  (goal: < 3 s)\n", "end to end", changesRun,
                static_cast<unsigned long long>(b.Records() - records0), wire);
    std::printf("%-40s %7.3f s\n", "  opening PLU.cds", open);
    std::printf("%-40s %7.3f s\n", "  image, comparison, send, saves", run);
    // The two files a run ends with, synced to disk, timed on their own.
    TRegisterImage image = LoadRegisterImage(b.Project, tiPLU, logic->Table().FieldDefs());
    std::printf("%-40s %7.3f s\n", "  of which loading the image, about",
                Seconds([&] { image = LoadRegisterImage(b.Project, tiPLU, logic->Table().FieldDefs()); }));
    std::printf("%-40s %7.3f s\n", "  of which saving the image, about",
                Seconds([&] { SaveRegisterImage(b.Project, tiPLU, image.Rows); }));
    std::printf("%-40s %7.3f s\n", "  of which saving PLU.cds, about", Seconds([&] { logic->SavePluTable(); }));
  }

  if (full) {
    std::printf("== the full run of the same table, paced ==\n");
    const uint64_t records0 = b.Records();
    const TLine l0 = Bytes(b.Sim);
    TActionResult r;
    const double wall = Seconds([&] {
      TPluLogic logic(b.Context);
      r = logic.Program(quiet);
    });
    if (!r.Ok) std::fprintf(stderr, "bench_changes: full run failed: %s\n", r.Text().c_str());
    std::printf("%-40s %7.3f s  (%llu records, wire %7.3f s); the changes run took %.1f %% of it\n", "end to end",
                wall, static_cast<unsigned long long>(b.Records() - records0), WireSeconds(l0, Bytes(b.Sim)),
                changesRun / wall * 100);
  }

  if (verify) {
    std::printf("== verifying %d PLUs, paced ==\n", plus);
    // Some of the register changed behind the project's back.
    b.Sim.WithEngine([&](Sim::TEngine &e) {
      int n = 0;
      for (auto &[cod, p] : e.Tables.Plus)
        if (++n % 1000 == 0) p.Pret2 = 1;
    });
    TPluLogic logic(b.Context);
    const TLine l0 = Bytes(b.Sim);
    TActionResult r;
    const double steal = StealSeconds();
    const double wall = Seconds([&] { r = logic.Verify(quiet); });
    const double wire = WireSeconds(l0, Bytes(b.Sim));
    if (!r.Ok) std::fprintf(stderr, "bench_changes: verify failed: %s\n", r.Text().c_str());
    std::printf("%-40s %7.3f s  wire %7.3f s  over it %+6.3f s  (%zu differences)  (goal: < 1 s over)%s\n",
                "verify", wall, wire, wall - wire, logic.LastVerify().Differences.size(),
                StealNote(steal, wall).c_str());
    if (paceRead) {
      TPluLogic reader(b.Context);
      const TLine r0 = Bytes(b.Sim);
      const double readSteal = StealSeconds();
      const double read = Seconds([&] { reader.Read(quiet); });
      const double readWire = WireSeconds(r0, Bytes(b.Sim));
      std::printf("%-40s %7.3f s  wire %7.3f s  over it %+6.3f s; the verify took %+6.3f s more than it%s\n",
                  "read of the same table", read, readWire, read - readWire, wall - read,
                  StealNote(readSteal, read).c_str());
    }
    b.Pace(false);
    double read = 0, verified = 0;
    {
      TPluLogic other(b.Context);
      verified = Seconds([&] { other.Verify(quiet); });
      read = Seconds([&] { other.Read(quiet); });
    }
    std::printf("%-40s %7.3f s  a read %7.3f s  the verify's own share %+6.3f s\n", "unpaced: verify", verified, read,
                verified - read);
  }
  return 0;
}
