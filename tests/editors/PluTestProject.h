// The editors' scratch project with a simulated register on COM1, holding
// no PLUs at the start, and the PLU rows the tests start from.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "EditorEnv.h"
#include "RecordSet.h"

// A PLU row of a test table: its code and its flags.
struct TPluRow {
  int64_t Cod;
  bool Nou = false;
  bool Sters = false;
  std::string Cantar = " ";
};

class PluProject : public EditorEnv {
 protected:
  void SetUp() override;

  // Saves PLU.cds with these rows (named "ART" + code, price code/100).
  void SavePlu(const std::vector<TPluRow> &rows);
  // Codes of PLU.cds, in order; empty when there is no file.
  std::vector<int64_t> FileCodes();
  // Codes the register holds.
  std::vector<int64_t> RegisterCodes();
  void SetRegisterCodes(const std::vector<int64_t> &codes);
  // The commands the simulator took without answering, once it has taken
  // at least `expected` of them (or two seconds went by).
  std::vector<std::string> BareCommands(size_t expected = 0);
  static std::vector<int64_t> Codes(const TRecordSet &t);
};
