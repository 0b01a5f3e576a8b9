// The command-file processor: on every tick of the online timer it looks in
// the work directory for the five command files, in their order, carries
// each one out against the register over a link of its own, answers with a
// result file and deletes the command file. It never shows anything: what
// happened goes to the result files and to the log callback. The window's
// online mode and `tarvoctl online` run the same processor.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "CommandFile.h"
#include "DroppedFile.h"
#include "OnlineSettings.h"
#include "RegisterLink.h"
#include "WorkDirLock.h"

class QEventLoop;
class TRegisterSlot;

// What holds the register while a command file runs, as the windows name it.
inline constexpr const char *OnlineHolder = "Mod de lucru online";

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

enum class TWorkDirState {
  Off,           // not polling (online mode off)
  Working,       // the directory is locked and polled
  Taken,         // another processor works the directory
  Inaccessible,  // missing, not a directory, or not readable and writable
};

struct TWorkDirStatus {
  TWorkDirState State = TWorkDirState::Off;
  std::string Dir;
  std::string Reason;
  bool operator==(const TWorkDirStatus &o) const {
    return State == o.State && Dir == o.Dir && Reason == o.Reason;
  }
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
  void Tick();
  bool Busy() const { return FBusy; }

  // Takes the lock on the settings' work directory now (or moves it there)
  // and says how that went. Tick does the same by itself.
  const TWorkDirStatus &Claim();
  // Online mode switched off: the directory is let go, after the command
  // file in progress when there is one; the rest of a pass is left alone.
  void Release();
  // Finish the command file in progress (its result written), cut the pause
  // short and take up nothing more.
  void RequestStop();
  bool StopRequested() const { return FStop; }

  const TWorkDirStatus &Status() const { return FStatus; }

  // One line per event, UTF-8: each command file with its outcome (and, on
  // a failure, the link's reason), lines saved from a broken Z report, the
  // work directory taken or lost.
  std::function<void(const std::string &line)> OnLog;
  // The state of the work directory, when it changes.
  std::function<void(const TWorkDirStatus &status)> OnStatus;

 private:
  struct TOutcome;
  using TClock = std::chrono::steady_clock;

  // The settings' work directory; false (logged) when the settings cannot
  // be had.
  bool CurrentDir(std::string &dir);
  bool EnsureLock(const std::string &dir);
  void SetStatus(TWorkDirStatus status);
  void RunCommandFile(const TOnlineCommand &cmd, const std::string &dir, const std::string &name);
  TOutcome RunWritePlu(const std::string &dir, const std::string &name);
  TOutcome RunRead(const TOnlineCommand &cmd, const std::string &dir);
  TOutcome Undelivered(const TOutcome &done, const std::string &why);
  TDropRead LoadWritePlu(const std::string &path);
  void WriteResult(const std::string &dir, const TOnlineCommand &cmd, TOutcome &out);
  void DeleteResults(const std::string &dir, const TOnlineCommand &cmd);
  void DeleteCommandFile(const std::string &dir, const std::string &name);
  bool RememberedAsUndeletable(const std::string &dir, const std::string &name);
  void Wait(int ms, bool pause);
  void Log(const std::string &line);

  TSettingsSource FSettings;
  TProcessorOptions FOptions;
  TWorkDirLock FLock;
  TWorkDirStatus FStatus;
  bool FBusy = false;
  bool FStop = false;
  bool FReleased = false;  // online mode switched off during a pass
  QEventLoop *FPause = nullptr;
  // Command files that could not be deleted, by name, as they were then:
  // carried out once, not again until they change (a Z report repeated every
  // second would clear the sales the last result held).
  std::map<std::string, TFileStamp> FUndeletable;
};

// The entries of dir named as one of `wanted`, found without regard to case
// as the other program's file system finds them: found[i] holds the names
// that match wanted[i], sorted, so the same directory always gives the same
// order. One pass over the directory. False (errno kept) when it cannot be
// read.
bool ScanNoCase(const std::string &dir, const std::vector<std::string> &wanted,
                std::vector<std::vector<std::string>> &found);

// A log line as the window and the service print it on stderr: local date
// and time, "online:", the line.
std::string StampedLogLine(const std::string &line);
