// bench_editors: the table editors' own transfers against the simulated
// register on a line paced at 57600 bit/s. Prints its figures; asserts
// nothing.
//
//   bench_editors [--rows N]
//
// 1. reading N department lines through the editor logic (answer, filling
//    the table, saving its file) against the time the bytes need on the wire;
// 2. programming N department rows through the editor logic, the same way;
// 3. the longest stall of the event loop while the departments window
//    (offscreen) programs the same N rows: a 1 ms timer records the largest
//    gap between its ticks.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include "BenchRegister.h"
#include "HostSteal.h"
#include "ProgramDir.h"
#include "RegisterSlot.h"
#include "RegisterTables.h"
#include "SerialSettings.h"
#include "Simulator.h"
#include "TableEditor.h"
#include "TableEditorWindow.h"
#include "TableFill.h"

namespace {

constexpr int Baud = TBenchRegister::Baud;

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

struct TWire {
  TBenchRegister &Reg;
  uint64_t In = 0, Out = 0;
  double At = 0, Steal = 0;
  void Start() { In = Reg.Sim.BytesIn(), Out = Reg.Sim.BytesOut(), At = Now(), Steal = StealSeconds(); }
  void Report(const char *what, int rows) const {
    const double wall = Now() - At;
    const double wire = Reg.WireSecondsSince(In, Out);
    std::printf("%-40s %6d rows in %8.3f s  wire time %8.3f s  excess %+6.2f %%  (goal: within 3 %%)%s\n", what,
                rows, wall, wire, (wall / wire - 1.0) * 100.0, StealNote(Steal, wall).c_str());
  }
};


}  // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int rows = 1000;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--rows") && i + 1 < argc) {
      rows = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: bench_editors [--rows N]\n");
      return 2;
    }
  }

  TBenchRegister reg;
  if (!reg.Start("bench-editors")) return 1;
  Sim::TSimulator &sim = reg.Sim;
  const std::string &project = reg.Project;
  const TProjectContext &context = reg.Context;
  reg.Pace(true);
  std::printf("== departments, %d rows, line paced at %d bit/s (10 bits a byte) ==\n", rows, Baud);

  // 1. Reading: the register answers with `rows` departments of its own.
  std::vector<std::string> lines;
  for (int i = 1; i <= rows; ++i) {
    Sim::TDept d;
    d.Cod = i;
    d.Nume = "DEPARTAMENT " + std::to_string(i);
    d.UM = 1, d.O1 = 4, d.P1 = 1256, d.TVA = 1 + i % 6;
    lines.push_back(Sim::DeptLine(d));
  }
  sim.WithEngine([&](Sim::TEngine &e) { e.SetAnswer("D5000", lines); });
  TProgress quiet;
  TWire wire{reg};
  {
    TTableEditor editor(context, DeptDescription());
    wire.Start();
    const TActionResult r = editor.Read(quiet);
    if (!r.Ok) std::fprintf(stderr, "bench_editors: read failed: %s\n", r.Text().c_str());
    wire.Report("read through the editor logic", editor.Table().RecordCount());
  }
  sim.WithEngine([](Sim::TEngine &e) { e.ClearOverrides(); });
  {
    // Where the logic's own share of that read goes.
    TTableEditor editor(context, DeptDescription());
    double at = Now();
    FillTable(editor.Description(), lines, editor.Table(), quiet);
    const double fill = Now() - at;
    at = Now();
    const TActionResult r = editor.Save();
    std::printf("%-40s %6d rows: filling %7.2f ms, saving the file %7.2f ms%s\n", "  of which, without the line",
                editor.Table().RecordCount(), fill * 1e3, (Now() - at) * 1e3, r.Ok ? "" : " (failed)");
  }

  // 2. Programming: the register keeps departments 1..99, so the rows repeat
  // those codes (a table may hold a code twice; every row is still sent).
  {
    TTableEditor editor(context, DeptDescription());
    TRecordSet &t = editor.Table();
    t.EmptyTable();
    for (int i = 0; i < rows; ++i) {
      t.Append();
      FillDefaultRow(tiDepartamente, 1 + i % 99, t);
      t.SetString("Nume", "ARTICOLE " + std::to_string(i));
      t.Post();
    }
    wire.Start();
    const TActionResult r = editor.Program(quiet);
    if (!r.Ok) std::fprintf(stderr, "bench_editors: programming failed: %s\n", r.Text().c_str());
    wire.Report("program through the editor logic", t.RecordCount());
  }

  // 3. The window programs the table just saved; a 1 ms timer watches the
  // event loop it runs in.
  {
    TRegisterSlot slot;
    TEdept window(TProjectContext{project, {}, &slot});
    window.show();
    QElapsedTimer clock;
    qint64 last = 0, worst = 0, ticks = 0;
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    QObject::connect(&watch, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      worst = std::max(worst, now - last);
      last = now;
      ++ticks;
    });
    clock.start();
    watch.start(1);
    wire.Start();
    window.BitBtn2->click();
    watch.stop();
    wire.Report("program from the window", window.Logic().Table().RecordCount());
    std::printf("%-40s %6lld ticks  longest gap %7.2f ms  (goal: under 50 ms)\n", "event loop during that run",
                ticks, double(worst) / 1e6);
  }

  return 0;
}
