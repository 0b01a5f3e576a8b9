// bench_online: the command-file processor as the other program sees it.
// Prints its figures; asserts nothing.
//
//   bench_online [--lines N]
//
// 1. the cost of one polling tick with nothing to do, in an empty work
//    directory and in one that holds 1,000 unrelated files;
// 2. a WRITEPLU.TXT of N lines (10,000 by default) against the simulator
//    paced at 57600 bit/s, with the real timer, pause and quiet time: from
//    the moment the file appears (renamed into the directory) to its
//    WRITEPLU.OK, against the time its bytes take on the wire. The goal is
//    the wire time plus 3 % plus two seconds (the tick's wait and the check
//    that the file is no longer being written);
// 3. the same list unpaced through the processor and through a bare link:
//    the processor's own cost a line.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>

#include "AtomicFile.h"
#include "BenchRegister.h"
#include "CommandProcessor.h"
#include "HostSteal.h"
#include "ProgramDir.h"
#include "Simulator.h"
#include "TarvoCore.h"

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::duration d) { return std::chrono::duration<double>(d).count(); }

double TickMicros(TCommandProcessor &p, int ticks) {
  const auto start = TClock::now();
  for (int i = 0; i < ticks; ++i) p.Tick();
  return Seconds(TClock::now() - start) / ticks * 1e6;
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  int lines = 10000;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--lines") == 0 && i + 1 < argc) lines = std::atoi(argv[++i]);
  if (lines < 1) lines = 1;

  TBenchRegister reg;
  if (!reg.Start("bench-online")) return 1;
  Sim::TSimulator &sim = reg.Sim;
  const std::string work = reg.Home + "work/";
  ::mkdir(work.c_str(), 0755);

  TOnlineSettings settings;
  settings.PortOnline = 1;
  settings.BaudRateOnline = 3;
  settings.DirectorLucru = work;
  TCommandProcessor processor([&] { return settings; });  // the real pause and waits
  processor.Claim();

  // 1. Polling with nothing to do.
  const double empty = TickMicros(processor, 5000);
  for (int i = 0; i < 1000; ++i) WriteFileAtomic(work + "alt-" + std::to_string(i) + ".dat", "x");
  const double crowded = TickMicros(processor, 1000);
  for (int i = 0; i < 1000; ++i) ::unlink((work + "alt-" + std::to_string(i) + ".dat").c_str());
  std::printf("idle tick: %.1f us in an empty work directory, %.1f us beside 1,000 other files\n", empty,
              crowded);

  // 2. A PLU list of `lines` lines on a line paced at 57600 bit/s.
  reg.Pace(true);
  TLineList list;
  list.reserve(size_t(lines));
  for (int i = 1; i <= lines; ++i)
    list.push_back(std::to_string(1000000 + i) + ";\"ARTICOL " + std::to_string(i) + "\";\"" +
                   (i % 3 ? "" : "ADITIONAL") + "\";" + std::to_string(1 + i % 20) + ";" +
                   std::to_string(1 + i % 2) + ";" + std::to_string(i % 500) + "." +
                   std::to_string(10 + i % 90) + ";0;0");
  const uint64_t in0 = sim.BytesIn(), out0 = sim.BytesOut();

  TClock::time_point appeared, pickedUp{}, answered{};
  std::string outcome;
  processor.OnLog = [&](const std::string &line) {
    if (line.rfind("WRITEPLU.TXT -> ", 0) != 0) return;
    answered = TClock::now();
    outcome = line;
    QCoreApplication::quit();
  };
  QTimer timer;  // TprocessorTimer
  timer.setInterval(1000);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!processor.Busy() && pickedUp == TClock::time_point{} &&
        ::access((work + "WRITEPLU.TXT").c_str(), F_OK) == 0)
      pickedUp = TClock::now();
    processor.Tick();
  });
  timer.start();
  // The other program's way of dropping a file whole: written beside it,
  // renamed into place.
  WriteLinesAtomic(work + "WRITEPLU.TXT", list);
  appeared = TClock::now();
  const double steal = StealSeconds();
  app.exec();

  const uint64_t bytes = (sim.BytesIn() - in0) + (sim.BytesOut() - out0);
  const double wire = double(bytes) * 10.0 / 57600.0;
  const double took = Seconds(answered - appeared);
  const double goal = wire * 1.03 + 2.0;
  std::printf("WRITEPLU.TXT, %d lines: %s\n", lines, outcome.c_str());
  std::printf("  bytes on the line: %llu (%llu to the register, %llu back)\n", (unsigned long long)bytes,
              (unsigned long long)(sim.BytesIn() - in0), (unsigned long long)(sim.BytesOut() - out0));
  std::printf("  wire time at 57600 bit/s:          %8.2f s\n", wire);
  std::printf("  file appeared -> picked up by tick: %8.2f s\n", Seconds(pickedUp - appeared));
  std::printf("  file appeared -> WRITEPLU.OK:       %8.2f s  (%+.2f s, %+.2f %% of the wire time)\n", took,
              took - wire, (took - wire) / wire * 100.0);
  std::printf("  goal (wire + 3 %% + 2 s):            %8.2f s  -> %s\n", goal,
              took <= goal ? "within the goal" : "OVER the goal");
  std::printf("  while it ran:                     %s\n", StealNote(steal, took).c_str());

  std::printf("  file picked up -> WRITEPLU.OK:      %8.2f s  (%+.2f %% of the wire time)\n",
              Seconds(answered - pickedUp), (Seconds(answered - pickedUp) - wire) / wire * 100.0);

  // 3. Where the time goes: the same list unpaced, through the processor
  //    and through a bare link, so the processor's own share shows.
  reg.Pace(false);
  sim.WithEngine([](Sim::TEngine &e) { e.Tables.EraseAllPlus(); });
  processor.OnLog = [&](const std::string &line) {
    if (line.rfind("WRITEPLU.TXT -> ", 0) == 0) answered = TClock::now();
  };
  WriteLinesAtomic(work + "WRITEPLU.TXT", list);
  ::sleep(1);  // quiet already: read at once
  const auto t0 = TClock::now();
  processor.Tick();
  const double viaProcessor = Seconds(answered - t0);
  double bare = 0;
  {
    TTARVO link(true);
    link.DevicePath = sim.DevicePath();
    if (!link.Connect()) return 1;
    const auto b0 = TClock::now();
    for (const std::string &l : list) {
      const TPluRec rec = PluRecordOfLine(l);
      if (!link.SendRecord(rkPlu, &rec)) break;
    }
    bare = Seconds(TClock::now() - b0);
  }
  std::printf("unpaced, %d lines: processor %.2f s to the result, bare link %.2f s\n", lines, viaProcessor,
              bare);
  std::printf("  the processor's own cost (reading, checking, link opening, result): %.1f us a line\n",
              (viaProcessor - bare) / lines * 1e6);

  return 0;
}
