// bench_plu: the PLU editor and the scale transfer on big tables. Prints its
// figures; asserts nothing.
//
//   bench_plu [--rows N] [--paced N] [--unpaced N] [--scale-plus N]
//
// 1. opening a PLU table of N rows (100,000) in the editor: the logic (file,
//    second cursor) and the grid's model, then paging through it;
// 2. the duplicate check of a programming run over those rows;
// 3. reading and programming 1,000 PLUs through the editor's logic on a
//    line paced at 57600 bit/s: elapsed against the wire time;
// 4. the same for 10,000 PLUs unpaced: the CPU the program spends (the
//    simulator thread's subtracted), beside that of a bare link transfer of
//    the same records;
// 5. writing the scale files for 10,000 scale PLUs and 10 scales.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include <QApplication>

#include "BenchRegister.h"
#include "Digi.h"
#include "HostSteal.h"
#include "PluLogic.h"
#include "ProgramDir.h"
#include "ProjectTables.h"
#include "RecordSetModel.h"
#include "ScaleTransfer.h"
#include "SerialSettings.h"
#include "Simulator.h"
#include "TarvoCore.h"

namespace {

double Clock(clockid_t id) {
  timespec ts{};
  clock_gettime(id, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

struct TSample {
  double Wall, Process, Sim;
  uint64_t In, Out;
  double Steal;
};

TSample Take(Sim::TSimulator &sim) {
  return {Clock(CLOCK_MONOTONIC), Clock(CLOCK_PROCESS_CPUTIME_ID), sim.ThreadCpuSeconds(), sim.BytesIn(),
          sim.BytesOut(), StealSeconds()};
}
double ProgramCpu(const TSample &a, const TSample &b) { return (b.Process - a.Process) - (b.Sim - a.Sim); }
double WireSeconds(const TSample &a, const TSample &b) {
  return double((b.In - a.In) + (b.Out - a.Out)) * 10.0 / 57600.0;
}

// A row as a read from the register leaves it: long barcodes among short
// codes, long names, every fourth article sold by weight.
void FillRows(TRecordSet &t, int rows, bool asNew) {
  t.DisableControls();
  for (int i = 1; i <= rows; ++i) {
    const int64_t cod = i % 4 == 0 ? 5940000000000 + i : i;
    t.Append();
    t.SetFloat("Cod", double(cod));
    t.SetString("CodAlfa", PluCodeText(cod));
    t.SetString("Nume", "ARTICOL DE TEST " + std::to_string(i) + " CU NUME LUNG");
    t.SetString("NumeAditional", i % 3 ? "" : "ADITIONAL");
    t.SetInteger("CodDep", 1 + i % 20);
    t.SetInteger("CodUM", 1 + i % 2);
    t.SetFloat("Pret1", (i % 1000) + 0.99);
    t.SetFloat("Pret2", 0);
    t.SetFloat("LinkPLU", 0);
    t.SetBoolean("Nou", asNew);
    t.SetBoolean("Sters", false);
    t.SetString("Cantar", i % 4 == 1 ? "x" : " ");
    t.Post();
  }
  t.EnableControls();
}

template <class F>
double Seconds(F &&f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct TBench : TBenchRegister {
  bool Start() { return TBenchRegister::Start("bench_plu"); }
  void ResetRegister(int capacity) {
    Sim.WithEngine([&](Sim::TEngine &e) {
      e.Tables.Plus.clear();
      e.Tables.PluCapacity = size_t(capacity) + 100;
      e.Stats = {};
    });
  }
  // A PLU.cds of `rows` new PLUs: what the next programming run sends.
  void NewRows(int rows) {
    TRecordSet t = NewTable(tiPLU);
    FillRows(t, rows, true);
    SaveProjectTable(Project, tiPLU, t);
  }
};

// The bare link's CPU for the same transfers, so the logic's share shows.
double BareLinkCpu(TBench &b, int count, bool program) {
  b.ResetRegister(count);
  auto open = [&](bool write) {
    auto link = std::make_unique<TTARVO>(write);
    link->DevicePath = b.Sim.DevicePath();
    link->Connect();
    return link;
  };
  TRecordSet rows = NewTable(tiPLU);
  FillRows(rows, count, true);
  const TPluFieldNos no(rows);
  if (!program) {
    auto w = open(true);
    for (rows.First(); !rows.Eof(); rows.Next()) {
      const TPluRec rec = PluRecordOf(rows, no);
      w->SendRecord(rkPlu, &rec);
    }
  }
  auto link = open(program);
  const TSample a = Take(b.Sim);
  if (program) {
    for (rows.First(); !rows.Eof(); rows.Next()) {
      const TPluRec rec = PluRecordOf(rows, no);
      link->SendRecord(rkPlu, &rec);
    }
  } else {
    TLineList lines;
    link->ReadLines("D10000", lines);
  }
  return ProgramCpu(a, Take(b.Sim));
}

void Pace(TBench &b, bool paced) {
  Sim::TFaults f;
  if (paced) f.Baud = 57600;
  b.Sim.SetFaults(f);
}

void Report(const char *what, bool paced, int count, const TSample &s0, const TSample &s1, double bare) {
  const double wall = s1.Wall - s0.Wall;
  if (paced) {
    const double wire = WireSeconds(s0, s1);
    std::printf("%-36s %6d in %7.3f s  wire %7.3f s  excess %+6.2f %%  (goal: within 3 %%)%s\n", what, count,
                wall, wire, (wall / wire - 1) * 100, StealNote(s0.Steal, wall).c_str());
    return;
  }
  const double cpu = ProgramCpu(s0, s1);
  std::printf("%-36s %6d in %7.3f s  program CPU %6.3f s  (goal: < 1 s; the bare link alone: %6.3f s)\n", what,
              count, wall, cpu, bare);
}

void Transfers(TBench &b, int count, bool paced) {
  TProgress quiet;
  // Programming: every row new, so the run ends with "CPM" and saves.
  Pace(b, paced);
  b.ResetRegister(count);
  b.NewRows(count);
  {
    TPluLogic logic(b.Context);
    const TSample s0 = Take(b.Sim);
    const TActionResult r = logic.Program(quiet);
    const TSample s1 = Take(b.Sim);
    if (!r.Ok) std::fprintf(stderr, "bench_plu: program failed: %s\n", r.Text().c_str());
    Report(paced ? "program, paced" : "program, unpaced", paced, count, s0, s1,
           paced ? 0 : BareLinkCpu(b, count, true));
    // The run ends by saving PLU.cds (synced to disk), which the wire time
    // does not include.
    std::printf("%-36s %7.3f s\n", "  of which saving PLU.cds, about", Seconds([&] { logic.SavePluTable(); }));
  }
  // Reading: the register is filled unpaced first.
  Pace(b, false);
  b.ResetRegister(count);
  b.NewRows(count);
  TPluLogic(b.Context).Program(quiet);
  Pace(b, paced);
  {
    TPluLogic logic(b.Context);
    const TSample s0 = Take(b.Sim);
    const TActionResult r = logic.Read(quiet);
    const TSample s1 = Take(b.Sim);
    if (!r.Ok || logic.Table().RecordCount() != count)
      std::fprintf(stderr, "bench_plu: read failed (%d rows): %s\n", logic.Table().RecordCount(), r.Text().c_str());
    Pace(b, false);
    Report(paced ? "read, paced" : "read, unpaced", paced, count, s0, s1, paced ? 0 : BareLinkCpu(b, count, false));
  }
  Pace(b, false);
}

}  // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int rows = 100000, paced = 1000, unpaced = 10000, scalePlus = 10000;
  for (int i = 1; i < argc; ++i) {
    auto next = [&] { return i + 1 < argc ? std::max(0, std::atoi(argv[++i])) : 0; };
    if (!std::strcmp(argv[i], "--rows")) rows = next();
    else if (!std::strcmp(argv[i], "--paced")) paced = next();
    else if (!std::strcmp(argv[i], "--unpaced")) unpaced = next();
    else if (!std::strcmp(argv[i], "--scale-plus")) scalePlus = next();
    else {
      std::fprintf(stderr, "usage: bench_plu [--rows N] [--paced N] [--unpaced N] [--scale-plus N]\n");
      return 2;
    }
  }
  TBench b;
  if (!b.Start()) return 1;

  std::printf("== a PLU table of %d rows ==\n", rows);
  {
    TRecordSet t = NewTable(tiPLU);
    FillRows(t, rows, false);
    SaveProjectTable(b.Project, tiPLU, t);
  }
  std::unique_ptr<TPluLogic> logic;
  std::unique_ptr<TRecordSetModel> model;
  const double open = Seconds([&] {
    logic = std::make_unique<TPluLogic>(b.Context);
    model = std::make_unique<TRecordSetModel>(*logic);
  });
  std::printf("%-36s %7.3f s  (goal: < 1 s)\n", "open (logic + grid model)", open);
  // A page of the grid is about 25 rows of 8 cells, with their colours.
  std::mt19937 random(7);
  const int pages = 2000;
  double worst = 0;
  const double paging = Seconds([&] {
    for (int p = 0; p < pages; ++p) {
      const int top = int(random() % unsigned(std::max(1, model->rowCount() - 25)));
      const double one = Seconds([&] {
        for (int r = top; r < top + 25 && r < model->rowCount(); ++r)
          for (int c = 0; c < model->columnCount(); ++c) {
            model->data(model->index(r, c));
            model->data(model->index(r, c), Qt::BackgroundRole);
          }
      });
      worst = std::max(worst, one);
    }
  });
  std::printf("%-36s %7.3f ms a page  worst %6.3f ms  (a frame is 16 ms)\n", "scrolling: a random page of 25 rows",
              paging / pages * 1e3, worst * 1e3);
  std::vector<std::string> repeated;
  const double dup = Seconds([&] { repeated = logic->RepeatedCodes(); });
  std::printf("%-36s %7.3f s  (%zu repeated)  (goal: < 0.2 s)\n", "duplicate check", dup, repeated.size());

  std::printf("== scale files ==\n");
  {
    TRecordSet t = NewTable(tiPLU);
    t.DisableControls();
    for (int i = 1; i <= scalePlus; ++i) {
      t.Append();
      t.SetFloat("Cod", i);
      t.SetString("CodAlfa", PluCodeText(i));
      t.SetString("Nume", "ARTICOL LA KILOGRAM NR " + std::to_string(i));
      t.SetFloat("Pret1", 12.345 + i);
      t.SetString("Cantar", "x");
      t.Post();
    }
    t.EnableControls();
    TDigi digi(b.Home);
    for (int s = 1; s <= 10; ++s) digi.Scales.push_back("10.0.0." + std::to_string(s));
    int found = 0;
    bool written = false;
    const double collect = Seconds([&] { found = CollectScalePlus(t, "21", digi, nullptr); });
    const double write = Seconds([&] { written = digi.WriteDataFiles(); });
    std::printf("%-36s %7.3f s  (records %.3f s, files %.3f s, %d PLUs, %zu bytes a file%s)  (goal: < 0.5 s)\n",
                "10 scale files", collect + write, collect, write, found, digi.DataText().size(),
                written ? "" : ", NOT WRITTEN");
  }

  if (paced > 0) {
    std::printf("== %d PLUs through the editor, line paced at 57600 bit/s ==\n", paced);
    Transfers(b, paced, true);
  }
  if (unpaced > 0) {
    std::printf("== %d PLUs through the editor, unpaced ==\n", unpaced);
    Transfers(b, unpaced, false);
  }
  return 0;
}
