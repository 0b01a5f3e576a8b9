// A scratch program directory with one project whose COM1 is a simulated
// register, and the PLU rows the tests start from.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "RecordSet.h"
#include "RegisterLink.h"
#include "ScratchDir.h"
#include "Simulator.h"

// A PLU row of a test table: its code and its flags.
struct TPluRow {
  int64_t Cod;
  bool Nou = false;
  bool Sters = false;
  std::string Cantar = " ";
};

class PluProject : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Saves PLU.cds with these rows (named "ART" + code, price code/100).
  void SavePlu(const std::vector<TPluRow> &rows);
  // Codes of PLU.cds, in order; empty when there is no file.
  std::vector<int64_t> FileCodes();
  // Codes the register holds.
  std::vector<int64_t> RegisterCodes();
  void SetRegisterCodes(const std::vector<int64_t> &codes);
  std::vector<std::string> BareCommands();
  static std::vector<int64_t> Codes(const TRecordSet &t);

  TScratchDir Home;
  std::string ProjectDir;
  Sim::TSimulator Sim;
  TTARVO *Slot = nullptr;
  TProjectContext Context;
};
