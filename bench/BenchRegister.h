// The simulated register as the benchmarks reach it: the way the program
// reaches a register. A scratch program directory whose TARVOPROG.INI maps
// COM1 to a simulator running in this process, and a project "bench" there
// set to COM1 at 57600 bit/s. Everything goes when it ends.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include <stdlib.h>

#include "AtomicFile.h"
#include "ProgramDir.h"
#include "RegisterLink.h"
#include "SerialSettings.h"
#include "Simulator.h"

struct TBenchRegister {
  static constexpr int Baud = 57600;

  std::string Home;     // the program directory, ending in '/'
  std::string Project;  // its project's directory
  Sim::TSimulator Sim;
  TProjectContext Context;

  // False, with the reason on stderr, when it cannot be set up.
  bool Start(const char *bench) {
    std::string tmpl = std::string("/tmp/") + bench + ".XXXXXX";
    if (!mkdtemp(tmpl.data())) return false;
    Home = tmpl + "/";
    SetProgramDirectory(Home);
    Project = Home + "bench";
    std::string err;
    try {
      if (!Sim.Start(Home + "sim-COM1", err)) throw std::runtime_error(err);
      WriteFileAtomic(TarvoIniPath(), "[Porturi]\r\nCOM1=sim-COM1\r\n");
      std::system(("mkdir -p '" + Project + "'").c_str());
      SaveSerialSettings(Project, {1, 3});
    } catch (const std::exception &e) {
      std::fprintf(stderr, "%s: %s\n", bench, e.what());
      return false;
    }
    Context.Dir = Project;
    return true;
  }
  ~TBenchRegister() {
    Sim.Stop();
    if (!Home.empty()) std::system(("rm -rf '" + Home + "'").c_str());
  }
  // The simulated line sends at Baud (10 bits a byte), or as fast as it can.
  void Pace(bool paced) {
    Sim::TFaults f;
    if (paced) f.Baud = Baud;
    Sim.SetFaults(f);
  }
  // A register holding n PLUs as a shop's would: short codes and barcodes,
  // long names, prices with cents.
  void FillRegister(int n) {
    Sim.WithEngine([&](Sim::TEngine &e) {
      e.Tables.Plus.clear();
      e.Tables.PluCapacity = size_t(n) + 100;
      for (int i = 1; i <= n; ++i) {
        Sim::TPlu p;
        p.Cod = i % 4 == 0 ? 5940000000000 + i : i;
        p.Nume = "ARTICOL DE TEST " + std::to_string(i) + " CU NUME LUNG";
        p.NumeAditional = i % 3 ? "" : "ADITIONAL";
        p.CodDep = 1 + i % 20;
        p.CodUM = 1 + i % 2;
        p.Pret1 = 100 * (i % 1000) + 99;
        e.Tables.Plus[p.Cod] = p;
      }
    });
  }
  // Seconds the bytes that crossed the line since (in, out) need at Baud.
  double WireSecondsSince(uint64_t in, uint64_t out) {
    return double((Sim.BytesIn() - in) + (Sim.BytesOut() - out)) * 10.0 / Baud;
  }
};
