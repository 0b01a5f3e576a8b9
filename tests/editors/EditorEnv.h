// A register simulator on a pseudo-terminal reached as COM1 of a project in
// a scratch program directory, the way the windows and tarvoctl reach a
// register: TARVOPROG.INI maps COM1, the project's setari.cds names it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ActionResult.h"
#include "RegisterLink.h"
#include "RegisterSlot.h"
#include "RunProgram.h"
#include "ScratchDir.h"
#include "Simulator.h"
#include "TableEditor.h"

// Counts what an action reports.
struct TProgressLog : TProgress {
  void Begin(int total) override { Total = total, Shown = true, Totals.push_back(total); }
  void Step(int done) override { Last = done; }
  void Lines(int received) override { Received.push_back(received); }
  void End() override { Shown = false, Ended = true; }
  int Total = -1, Last = 0;
  bool Shown = false, Ended = false;
  std::vector<int> Totals;    // every Begin's
  std::vector<int> Received;  // the lines counted while a read waited
};

class EditorEnv : public ::testing::Test {
 protected:
  static constexpr int ShortSilenceMs = 400;

  void SetUp() override;
  void TearDown() override;

  // The editor logic of a table on this project (blocks for tiSP and tiSO).
  std::unique_ptr<TTableEditor> Open(TTableId id);
  // What the simulator answers the table's read command with right now.
  std::vector<std::string> SimLines(const std::string &command);
  void Faults(const Sim::TFaults &f) { Sim.SetFaults(f); }
  void Answer(const std::string &command, std::vector<std::string> lines);
  // Records the simulator has taken since its statistics were last reset.
  uint64_t Records() { return Sim.Stats().Records; }
  // The table's file as bytes ("" when there is none).
  std::string FileBytes(TTableId id) const;
  // tarvoctl run as a script would on this project, from a copy in the
  // scratch directory so that the directory is its program directory.
  TRun Tarvoctl(const QStringList &args);

  TScratchDir Dir;
  std::string Project;  // the project's directory
  Sim::TSimulator Sim;
  TProjectContext Context;
  TRegisterSlot Slot;
  // What the main window gives an editor window: the project and the
  // program's register slot, with the link's own defaults.
  TProjectContext WindowContext() const { return {Project, {}, const_cast<TRegisterSlot *>(&Slot)}; }
};

