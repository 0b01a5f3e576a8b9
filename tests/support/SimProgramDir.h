// A scratch program directory whose TARVOPROG.INI maps a COM port to a
// register simulator running in this process, so the program's own way of
// opening a port (the port map) reaches the simulator.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "AtomicFile.h"
#include "ProgramDir.h"
#include "ScratchDir.h"
#include "SerialSettings.h"
#include "Simulator.h"

class TSimProgramDir {
 public:
  static constexpr int Com = 3;
  static constexpr const char *Date = "09-12-2026";
  static constexpr const char *Time = "08:30:00";

  TSimProgramDir() : FPrevious(ProgramDirectory()) {
    SetProgramDirectory(Dir.Path());
    std::string err;
    if (!Sim.Start(Dir.Path() + "/sim", err)) ADD_FAILURE() << err;
    WriteFileAtomic(TarvoIniPath(), "[Porturi]\r\nCOM" + std::to_string(Com) + "=sim\r\n");
    Sim.WithEngine([](Sim::TEngine &e) { e.SetReportClock(Date, Time); });
  }
  ~TSimProgramDir() {
    Sim.Stop();
    SetProgramDirectory(FPrevious);
  }

  // The program directory, ending in '/'.
  std::string Path() const { return Dir.Path() + "/"; }
  // A project of this program directory whose port is the simulator's COM
  // at 57600 bit/s; its directory, without a trailing '/'.
  std::string MakeProject(const std::string &name = "P") {
    const std::string dir = Path() + name;
    EXPECT_EQ(::mkdir(dir.c_str(), 0755), 0) << dir;
    SaveSerialSettings(dir, {Com, 3});
    return dir;
  }
  // What the simulator would answer a report command with right now.
  std::vector<std::string> Report(const std::string &command) {
    return Sim.WithEngine([&](Sim::TEngine &e) {
      std::vector<std::string> lines;
      Sim::TReportEffect effect;
      e.Sales.Report(command, e.Tables, Date, Time, lines, effect);
      return lines;
    });
  }
  // A program of the build, put in the scratch program directory (a hard
  // link, else a copy) so that it reads this directory's TARVOPROG.INI.
  std::string LinkProgram(const std::string &built) {
    const std::string name = built.substr(built.rfind('/') + 1);
    const std::string path = Path() + name;
    if (::link(built.c_str(), path.c_str()) != 0)
      std::system(("cp '" + built + "' '" + path + "'").c_str());
    return path;
  }
  std::vector<std::string> Commands() {
    return Sim.WithEngine([](Sim::TEngine &e) {
      return std::vector<std::string>(e.Commands.begin(), e.Commands.end());
    });
  }

  TScratchDir Dir;
  Sim::TSimulator Sim;

 private:
  std::string FPrevious;
};
