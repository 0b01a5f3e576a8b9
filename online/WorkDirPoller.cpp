#include "WorkDirPoller.h"

#include <cerrno>
#include <exception>
#include <unistd.h>

#include <QEventLoop>

#include "AtomicFile.h"
#include "CodePage.h"
#include "EventWait.h"
#include "RegisterSlot.h"
#include "ReportReader.h"
#include "ScanNoCase.h"

namespace {

const std::vector<std::string> &CommandNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const TOnlineCommand &c : OnlineCommands) n.emplace_back(c.File);
    return n;
  }();
  return names;
}

}  // namespace

TWorkDirPoller::TWorkDirPoller(TSettingsSource settings, TRegisterSlot *slot, int pauseMs, TFileRunner run,
                               TLog log, TStatusSink status)
    : FSettings(std::move(settings)),
      FSlot(slot),
      FPauseMs(pauseMs),
      FRun(std::move(run)),
      FLog(std::move(log)),
      FOnStatus(std::move(status)) {}

void TWorkDirPoller::SetStatus(TWorkDirStatus status) {
  if (status == FStatus) return;
  FStatus = std::move(status);
  switch (FStatus.State) {
    case TWorkDirState::Off: FLog("online mode off"); break;
    case TWorkDirState::Working: FLog("watching " + FStatus.Dir + " for command files"); break;
    case TWorkDirState::Taken:
      FLog("the work directory " + FStatus.Dir +
           " is worked by another processor (the program's online mode or tarvoctl online); "
           "waiting until it lets go");
      break;
    case TWorkDirState::Inaccessible:
      FLog("cannot use the work directory " + FStatus.Dir + ": " + FStatus.Reason);
      break;
  }
  FOnStatus(FStatus);
}

bool TWorkDirPoller::EnsureLock(const std::string &dir) {
  const std::string before = FLock.Dir();
  std::string reason;
  const TWorkDirLock::TResult r = FLock.Acquire(dir, &reason);
  if (FLock.Dir() != before) FUndeletable.clear();
  if (r == TWorkDirLock::Locked) {
    SetStatus({TWorkDirState::Working, dir, {}});
    // Only the holder of the directory may take a journal for one left
    // behind: another processor's read could still be writing it.
    if (FLock.Dir() != before) {
      std::vector<TZNames> journals;
      for (const TOnlineCommand &c : OnlineCommands)
        if (c.Register && ClearsWhatItReports(c.Register)) journals.push_back(OnlineZNames(c.Base));
      for (const TLeftJournal &left : RecoverZJournals(dir, journals)) FLog(LeftJournalLogLine(left));
    }
    return true;
  }
  SetStatus({r == TWorkDirLock::Taken ? TWorkDirState::Taken : TWorkDirState::Inaccessible, dir,
             ToUtf8(reason)});
  return false;
}

bool TWorkDirPoller::CurrentDir(std::string &dir) {
  try {
    dir = FSettings().DirectorLucru;
    return true;
  } catch (const std::exception &e) {
    FLog(std::string("cannot read the settings: ") + e.what());
  } catch (...) {
    FLog("cannot read the settings");
  }
  return false;
}

const TWorkDirStatus &TWorkDirPoller::Claim() {
  FReleased = false;
  std::string dir;
  if (!FBusy && CurrentDir(dir)) EnsureLock(dir);
  return FStatus;
}

void TWorkDirPoller::Release() {
  if (FBusy) {
    // The command file in progress is finished and answered first.
    FReleased = true;
    if (FPause) FPause->quit();
    return;
  }
  FLock.Release();
  SetStatus({TWorkDirState::Off, {}, {}});
}

void TWorkDirPoller::RequestStop() {
  FStop = true;
  if (FPause) FPause->quit();
}

void TWorkDirPoller::Tick() {
  if (FBusy || FStop) return;
  // A window's action talks to the register: nothing is taken up until it ends.
  if (FSlot && FSlot->Busy()) return;
  FReleased = false;
  std::string wanted;
  if (!CurrentDir(wanted) || !EnsureLock(wanted)) return;
  const std::string dir = FLock.Dir();
  std::vector<std::vector<std::string>> found;
  if (!ScanNoCase(dir, CommandNames(), found)) {
    const int err = errno;
    FLock.Release();
    SetStatus({TWorkDirState::Inaccessible, dir, ErrnoReason(err)});
    return;
  }
  for (size_t i = 0; i < std::size(OnlineCommands); ++i) {
    if (FStop || FReleased) break;
    const std::string *pick = Pick(dir, found[i]);
    if (!pick) continue;
    FBusy = true;
    bool escaped = false;
    {
      // The windows' register actions wait while the command file runs.
      TRegisterTurn turn(FSlot, OnlineHolder);
      if (!turn.Had()) {
        FBusy = false;
        break;
      }
      try {
        const TAnsweredFile answered = FRun(OnlineCommands[i], dir, *pick);
        if (answered.Taken) {
          DeleteCommandFile(dir, *pick);
          FLog(answered.LogLine);
        }
        escaped = answered.Unexpected;  // answered already; the rest waits for the next tick
      } catch (...) {
        escaped = true;
      }
    }
    Pause();
    FBusy = false;
    // An unexpected error ends the pass; the files not yet looked at are
    // taken up on the next tick.
    if (escaped || !ScanNoCase(dir, CommandNames(), found)) break;
  }
  if (FReleased) {
    FReleased = false;
    FLock.Release();
    SetStatus({TWorkDirState::Off, {}, {}});
  }
}

const std::string *TWorkDirPoller::Pick(const std::string &dir, const std::vector<std::string> &names) {
  for (const std::string &name : names)
    if (!RememberedAsUndeletable(dir, name)) return &name;
  return nullptr;
}

void TWorkDirPoller::DeleteCommandFile(const std::string &dir, const std::string &name) {
  const std::string path = dir + name;
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return;
  const int err = errno;
  TFileStamp stamp;
  if (EntryStamp(path, stamp)) FUndeletable[name] = stamp;
  FLog(name + ": cannot delete it (" + ErrnoReason(err) + "); it is not carried out again until it changes");
}

bool TWorkDirPoller::RememberedAsUndeletable(const std::string &dir, const std::string &name) {
  const auto it = FUndeletable.find(name);
  if (it == FUndeletable.end()) return false;
  TFileStamp now;
  if (EntryStamp(dir + name, now) && now == it->second) return true;
  FUndeletable.erase(it);
  return false;
}

void TWorkDirPoller::Pause() {
  // Stopping or letting the directory go cuts it short.
  if (FStop || FReleased) return;
  WaitWithEvents(FPauseMs, &FPause);
}
