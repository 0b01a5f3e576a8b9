// Polling the work directory: on every tick it holds the directory's lock,
// looks for the five command files in their order and hands each one it
// finds to the file runner, holding the busy mark (and the windows' register
// slot) while it runs and through the pause after it. It deletes each
// command file once answered, and remembers one it cannot delete so that it
// is not carried out every second.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "CommandFile.h"
#include "CommandOutcome.h"
#include "DroppedFile.h"
#include "OnlineSettings.h"
#include "WorkDirLock.h"

class QEventLoop;
class TRegisterSlot;

// What holds the register while a command file runs, as the windows name it.
inline constexpr const char *OnlineHolder = "Mod de lucru online";

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

class TWorkDirPoller {
 public:
  // Asked at each tick for the work directory.
  using TSettingsSource = std::function<TOnlineSettings()>;
  // Carries out and answers dir + name as cmd.
  using TFileRunner =
      std::function<TAnsweredFile(const TOnlineCommand &cmd, const std::string &dir, const std::string &name)>;
  using TLog = std::function<void(const std::string &line)>;
  using TStatusSink = std::function<void(const TWorkDirStatus &status)>;

  // slot: the windows' one register action at a time, or null.
  TWorkDirPoller(TSettingsSource settings, TRegisterSlot *slot, int pauseMs, TFileRunner run, TLog log,
                 TStatusSink status);
  TWorkDirPoller(const TWorkDirPoller &) = delete;
  TWorkDirPoller &operator=(const TWorkDirPoller &) = delete;

  void Tick();
  bool Busy() const { return FBusy; }
  const TWorkDirStatus &Claim();
  void Release();
  void RequestStop();
  bool StopRequested() const { return FStop; }
  const TWorkDirStatus &Status() const { return FStatus; }

 private:
  // The settings' work directory; false (logged) when the settings cannot
  // be had.
  bool CurrentDir(std::string &dir);
  bool EnsureLock(const std::string &dir);
  void SetStatus(TWorkDirStatus status);
  // The first of names not remembered as undeletable, or null.
  const std::string *Pick(const std::string &dir, const std::vector<std::string> &names);
  void DeleteCommandFile(const std::string &dir, const std::string &name);
  bool RememberedAsUndeletable(const std::string &dir, const std::string &name);
  void Pause();

  TSettingsSource FSettings;
  TRegisterSlot *FSlot;
  int FPauseMs;
  TFileRunner FRun;
  TLog FLog;
  TStatusSink FOnStatus;
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
