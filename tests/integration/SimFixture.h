// A simulator on a fresh pseudo-terminal per test, and links to it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ScratchDir.h"
#include "Simulator.h"
#include "TarvoCore.h"

class SimFixture : public ::testing::Test {
 protected:
  static constexpr int ShortSilenceMs = 400;

  void SetUp() override;
  void TearDown() override;

  // A connected link to the simulator (read or write mode).
  std::unique_ptr<TTARVO> Link(bool writeMode, int silenceMs = ShortSilenceMs);
  // What the simulator would answer a read command with right now.
  std::vector<std::string> Expected(const std::string &command);
  // Reads with a fresh link; fails the test when the read does not succeed.
  std::vector<std::string> ReadOk(const std::string &command);
  // After a failure: the port is free again at once and the register answers.
  void ExpectPortFree();
  void Faults(const Sim::TFaults &f) { FSim.SetFaults(f); }

  // Declared first so that it goes last, after the simulator took its link away.
  TScratchDir FScratch{"tarvo-integration"};
  const std::string FDir = FScratch.Path();
  Sim::TSimulator FSim;
};
