// The command-file processor: on every tick of the online timer it looks in
// the work directory for the five command files, in their order, carries
// each one out against the register over a link of its own, answers with a
// result file and deletes the command file. It never shows anything: what
// happened goes to the result files and to the log callback. The window's
// online mode and `tarvoctl online` run the same processor.
//
// It ties the work-directory poller (WorkDirPoller.h) to the command runner
// (CommandRunner.h), which answers through the result files (ResultFiles.h).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "CommandRunner.h"
#include "OnlineSettings.h"
#include "RegisterLink.h"
#include "WorkDirPoller.h"

struct TProcessorOptions {
  TLinkOptions Link;            // device override, frame trace, silence of an exchange
  // The window program's one register action at a time: no command file is
  // taken up while a window's action holds it, and each one holds it while
  // it runs. Null for the processor without a window.
  TRegisterSlot *Slot = nullptr;
  int PauseMs = 1000;           // after each command file, busy mark held
  int RetryWindowMs = 5000;     // a WRITEPLU.TXT that cannot be loaded is tried this long
  int QuietMs = 300;            // a file changed more recently than this is still being written
  size_t MaxFileBytes = size_t(64) << 20;  // larger than any real PLU list
};

class TCommandProcessor {
 public:
  // Asked at each tick for the work directory and before each command file
  // for the port and speed, so a change of the settings takes effect with
  // the next command file.
  using TSettingsSource = std::function<TOnlineSettings()>;

  explicit TCommandProcessor(TSettingsSource settings, TProcessorOptions options = {});
  ~TCommandProcessor();
  TCommandProcessor(const TCommandProcessor &) = delete;
  TCommandProcessor &operator=(const TCommandProcessor &) = delete;

  // One polling pass (the timer's TprocessorTimerTimer). Returns at once
  // while a command file is being processed (the busy mark), which a tick
  // arriving from inside the link's wait or the pause finds set.
  void Tick() { FPoller.Tick(); }
  bool Busy() const { return FPoller.Busy(); }

  // Takes the lock on the settings' work directory now (or moves it there)
  // and says how that went. Tick does the same by itself.
  const TWorkDirStatus &Claim() { return FPoller.Claim(); }
  // Online mode switched off: the directory is let go, after the command
  // file in progress when there is one; the rest of a pass is left alone.
  void Release() { FPoller.Release(); }
  // Finish the command file in progress (its result written), cut the pause
  // short and take up nothing more.
  void RequestStop() { FPoller.RequestStop(); }
  bool StopRequested() const { return FPoller.StopRequested(); }

  const TWorkDirStatus &Status() const { return FPoller.Status(); }

  // One line per event, UTF-8: each command file with its outcome (and, on
  // a failure, the link's reason), lines saved from a broken Z report, the
  // work directory taken or lost.
  std::function<void(const std::string &line)> OnLog;
  // The state of the work directory, when it changes.
  std::function<void(const TWorkDirStatus &status)> OnStatus;

 private:
  void Log(const std::string &line);

  TSettingsSource FSettings;  // shared by the two below
  TCommandRunner FRunner;
  TWorkDirPoller FPoller;
};
