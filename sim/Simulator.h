// The simulated register on a pseudo-terminal: the protocol engine driven by
// one thread that polls the pty master, paces what it sends the way a serial
// line would, and writes the trace.
//
// The slave side is what the program opens as its serial port; a symbolic
// link to it can be put at a fixed path so that a port map entry (or a test)
// finds it. Everything here is plain C++ and POSIX, so tests run it in
// process beside the Qt event loop of the link under test.
#pragma once

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include <time.h>

#include "Engine.h"

namespace Sim {

class TSimulator {
 public:
  TSimulator();
  ~TSimulator();  // Stop
  TSimulator(const TSimulator &) = delete;
  TSimulator &operator=(const TSimulator &) = delete;

  // Opens the pseudo-terminal, puts the link (when linkPath is not empty,
  // replacing a stale symbolic link but never another kind of file) and
  // starts the thread. False with a reason in error.
  bool Start(const std::string &linkPath, std::string &error);
  // Stops the thread, closes the pty, removes the link if it is still ours.
  void Stop();

  const std::string &SlavePath() const { return FSlavePath; }
  const std::string &LinkPath() const { return FLinkPath; }
  // The path the program should open: the link if there is one.
  const std::string &DevicePath() const { return FLinkPath.empty() ? FSlavePath : FLinkPath; }

  // Writes every frame in both directions, time-stamped, to path.
  bool OpenTrace(const std::string &path, std::string &error);

  // Runs f(engine) with the engine locked against the thread.
  template <class F>
  auto WithEngine(F &&f) {
    std::lock_guard<std::mutex> lock(FMutex);
    return f(FEngine);
  }
  void SetFaults(const TFaults &faults);
  TStats Stats();
  // Bytes that crossed the line, each way, since Start.
  uint64_t BytesIn() const { return FBytesIn; }
  uint64_t BytesOut() const { return FBytesOut; }
  // CPU time the simulator's thread has used, in seconds (0 before Start);
  // benchmarks subtract it from the process's to get the link's share.
  double ThreadCpuSeconds() const;

 private:
  void Run();
  void TraceLine(Clock::time_point at, const std::string &line);

  std::mutex FMutex;  // guards FEngine
  TEngine FEngine;
  std::thread FThread;
  std::atomic<bool> FStop{false};
  int FMaster = -1, FSlave = -1;
  int FWake[2] = {-1, -1};
  std::string FSlavePath, FLinkPath;
  std::atomic<uint64_t> FBytesIn{0}, FBytesOut{0};
  clockid_t FCpuClock{};
  bool FHasCpuClock = false;

  std::mutex FTraceMutex;
  std::FILE *FTrace = nullptr;
  Clock::time_point FEpoch;
};

}  // namespace Sim
