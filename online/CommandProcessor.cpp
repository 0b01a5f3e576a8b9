#include "CommandProcessor.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <exception>
#include <thread>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "AtomicFile.h"
#include "CodePage.h"
#include "PluList.h"
#include "PluSalesLayout.h"
#include "RegisterSlot.h"
#include "ReportReader.h"
#include "TarvoCore.h"
#include "ValueText.h"

struct TCommandProcessor::TOutcome {
  bool Ok = false;
  TLineList Lines;      // the ".OK" file
  std::string Message;  // the one line of the ".ERR" file
  std::string Detail;   // for the log: what was done, or why it failed
  std::string Archive;  // a Z report's archive: its lines whatever becomes of the ".OK"
  size_t ArchiveLines = 0;
};

namespace {

const std::vector<std::string> &CommandNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const TOnlineCommand &c : OnlineCommands) n.emplace_back(c.File);
    return n;
  }();
  return names;
}

// How long ago the file's own time says it was written; 0 for a time in the
// future (another machine's clock on a shared directory).
std::chrono::milliseconds AgeOf(const timespec &mtime) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const long long ms = (now.tv_sec - mtime.tv_sec) * 1000LL + (now.tv_nsec - mtime.tv_nsec) / 1000000;
  return std::chrono::milliseconds(ms > 0 ? ms : 0);
}

}  // namespace

std::string StampedLogLine(const std::string &line) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(stamp) + " online: " + line;
}

bool ScanNoCase(const std::string &dir, const std::vector<std::string> &wanted,
                std::vector<std::vector<std::string>> &found) {
  found.assign(wanted.size(), {});
  DIR *d = ::opendir(dir.c_str());
  if (!d) return false;
  while (const dirent *e = ::readdir(d))
    for (size_t i = 0; i < wanted.size(); ++i)
      if (EqualsNoCase(e->d_name, wanted[i])) found[i].emplace_back(e->d_name);
  ::closedir(d);
  for (auto &f : found) std::sort(f.begin(), f.end());
  return true;
}

TCommandProcessor::TCommandProcessor(TSettingsSource settings, TProcessorOptions options)
    : FSettings(std::move(settings)), FOptions(std::move(options)) {}

TCommandProcessor::~TCommandProcessor() = default;

void TCommandProcessor::Log(const std::string &line) {
  if (OnLog) OnLog(line);
}

void TCommandProcessor::SetStatus(TWorkDirStatus status) {
  if (status == FStatus) return;
  FStatus = std::move(status);
  switch (FStatus.State) {
    case TWorkDirState::Off: Log("online mode off"); break;
    case TWorkDirState::Working: Log("watching " + FStatus.Dir + " for command files"); break;
    case TWorkDirState::Taken:
      Log("the work directory " + FStatus.Dir +
          " is worked by another processor (the program's online mode or tarvoctl online); "
          "waiting until it lets go");
      break;
    case TWorkDirState::Inaccessible:
      Log("cannot use the work directory " + FStatus.Dir + ": " + FStatus.Reason);
      break;
  }
  if (OnStatus) OnStatus(FStatus);
}

bool TCommandProcessor::EnsureLock(const std::string &dir) {
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
      for (const TLeftJournal &left : RecoverZJournals(dir, journals)) Log(LeftJournalLogLine(left));
    }
    return true;
  }
  SetStatus({r == TWorkDirLock::Taken ? TWorkDirState::Taken : TWorkDirState::Inaccessible, dir,
             ToUtf8(reason)});
  return false;
}

bool TCommandProcessor::CurrentDir(std::string &dir) {
  try {
    dir = FSettings().DirectorLucru;
    return true;
  } catch (const std::exception &e) {
    Log(std::string("cannot read the settings: ") + e.what());
  } catch (...) {
    Log("cannot read the settings");
  }
  return false;
}

const TWorkDirStatus &TCommandProcessor::Claim() {
  FReleased = false;
  std::string dir;
  if (!FBusy && CurrentDir(dir)) EnsureLock(dir);
  return FStatus;
}

void TCommandProcessor::Release() {
  if (FBusy) {
    // The command file in progress is finished and answered first.
    FReleased = true;
    if (FPause) FPause->quit();
    return;
  }
  FLock.Release();
  SetStatus({TWorkDirState::Off, {}, {}});
}

void TCommandProcessor::RequestStop() {
  FStop = true;
  if (FPause) FPause->quit();
}

void TCommandProcessor::Tick() {
  if (FBusy || FStop) return;
  // A window's action talks to the register: nothing is taken up until it ends.
  if (FOptions.Slot && FOptions.Slot->Busy()) return;
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
    const std::string *pick = nullptr;
    for (const std::string &name : found[i])
      if (!RememberedAsUndeletable(dir, name)) {
        pick = &name;
        break;
      }
    if (!pick) continue;
    FBusy = true;
    bool escaped = false;
    {
      // The windows' register actions wait while the command file runs.
      TRegisterTurn turn(FOptions.Slot, OnlineHolder);
      if (!turn.Had()) {
        FBusy = false;
        break;
      }
      try {
        RunCommandFile(OnlineCommands[i], dir, *pick);
      } catch (...) {
        escaped = true;  // answered already; the rest waits for the next tick
      }
    }
    Wait(FOptions.PauseMs, true);
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

void TCommandProcessor::RunCommandFile(const TOnlineCommand &cmd, const std::string &dir,
                                       const std::string &name) {
  TFileStamp entry;
  if (!EntryStamp(dir + name, entry)) return;  // taken back before its turn: nothing is asked
  DeleteResults(dir, cmd);
  TOutcome out;
  std::exception_ptr unexpected;
  try {
    if (cmd.Register) {
      // Only its presence matters, but a directory, FIFO or device of that
      // name (or a link to one, or to nothing) is no request.
      const TDropRead look = StatDropped(dir + name, SIZE_MAX);
      if (look.State == TDropState::Ready)
        out = RunRead(cmd, dir);
      else {
        out.Message = UnreadableMessage(cmd);
        out.Detail = look.State == TDropState::Missing ? "a link to nothing" : ToUtf8(look.Reason);
      }
    } else {
      out = RunWritePlu(dir, name);
    }
  } catch (const std::exception &e) {
    unexpected = std::current_exception();
    out = TOutcome{};
    out.Message = ErrFailed;
    out.Detail = std::string("unexpected error: ") + e.what();
  } catch (...) {
    unexpected = std::current_exception();
    out = TOutcome{};
    out.Message = ErrFailed;
    out.Detail = "unexpected error";
  }
  // Whatever happened, the other program gets an answer.
  std::string resultName = std::string(cmd.Base) + (out.Ok ? ".OK" : ".ERR");
  try {
    WriteResult(dir, cmd, out);
  } catch (const std::exception &e) {
    if (!out.Ok) {
      Log(name + ": cannot write " + resultName + ": " + e.what());
    } else {
      out = Undelivered(out, resultName + " could not be written: " + e.what());
      resultName = std::string(cmd.Base) + ".ERR";
      try {
        WriteResult(dir, cmd, out);
      } catch (const std::exception &e2) {
        Log(name + ": cannot write " + resultName + " either: " + e2.what());
      }
    }
  }
  DeleteCommandFile(dir, name);
  Log(name + " -> " + resultName + (out.Ok ? ": " + out.Detail : ": " + out.Message +
                                     (out.Detail.empty() ? "" : " (" + out.Detail + ")")));
  if (unexpected) std::rethrow_exception(unexpected);
}

// What an answer that could not be written becomes: a failure that says
// where a Z report's lines, cleared in the register, are kept.
TCommandProcessor::TOutcome TCommandProcessor::Undelivered(const TOutcome &done, const std::string &why) {
  TOutcome out;
  out.Message = ErrFailed;
  out.Detail = why;
  if (!done.Archive.empty())
    out.Detail += "; the " + std::to_string(done.ArchiveLines) + " lines of the report are kept in " + done.Archive;
  return out;
}

TDropRead TCommandProcessor::LoadWritePlu(const std::string &path) {
  using std::chrono::milliseconds;
  const auto deadline = TClock::now() + milliseconds(FOptions.RetryWindowMs);
  const milliseconds quiet(FOptions.QuietMs);
  TFileStamp seen;
  bool haveSeen = false;
  TClock::time_point changedAt{};
  for (;;) {
    TClock::time_point now = TClock::now();
    TDropRead r = StatDropped(path, FOptions.MaxFileBytes);
    milliseconds next(50);  // a lock or an open that failed: look again soon
    if (r.State == TDropState::NotRegular || r.State == TDropState::TooLarge) return r;
    if (r.State == TDropState::Ready) {
      if (!haveSeen || r.Stamp != seen) {
        // The file's own time says how long it has been quiet already, so a
        // file that was finished before it was found is read at once.
        seen = r.Stamp;
        haveSeen = true;
        changedAt = now - std::min<milliseconds>(quiet, AgeOf(r.Stamp.Mtime));
      }
      const auto quietFor = std::chrono::duration_cast<milliseconds>(now - changedAt);
      if (quietFor >= quiet) {
        r = ReadDropped(path, FOptions.MaxFileBytes);
        if (r.State == TDropState::Ready || r.State == TDropState::NotRegular ||
            r.State == TDropState::TooLarge)
          return r;
        if (r.State == TDropState::Changing) {
          haveSeen = false;
          next = quiet;
        }
      } else {
        r.State = TDropState::Changing;
        r.Reason = "still being written";
        next = std::max<milliseconds>(milliseconds(5), quiet - quietFor);
      }
    }
    now = TClock::now();
    if (now >= deadline) {
      if (r.Reason.empty()) r.Reason = DropStateText(r.State);
      r.Reason += " (tried for " + std::to_string(FOptions.RetryWindowMs) + " ms)";
      if (r.State == TDropState::Ready) r.State = TDropState::Changing;
      return r;
    }
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - now) + milliseconds(1);
    Wait(int(std::min(next, left).count()), false);
  }
}

TCommandProcessor::TOutcome TCommandProcessor::RunWritePlu(const std::string &dir,
                                                           const std::string &name) {
  TOutcome out;
  TDropRead file = LoadWritePlu(dir + name);
  if (file.State != TDropState::Ready) {
    out.Message = ErrFileUnreadable;
    out.Detail = ToUtf8(file.Reason);
    return out;
  }
  TLineList lines = SplitTextLines(file.Bytes);
  file.Bytes = std::string();
  if (const int bad = FirstInvalidPluLine(lines)) {
    out.Message = ErrBadStructure;
    out.Detail = bad < 0 ? "the file has no lines" : "line " + std::to_string(bad);
    return out;
  }

  const TOnlineSettings s = FSettings();
  TProjectContext context;  // its own link: the main window's slot is never used
  context.Dir = dir;
  context.Link = FOptions.Link;
  TRegisterSession session(context, true);
  TActionResult failure;
  if (!session.OpenOn({s.PortOnline, s.BaudRateOnline}, failure)) {
    out.Message = ErrPortWrite;
    out.Detail = ToUtf8(failure.Reason);
    return out;
  }
  const TPluListRun run = SendPluList(session, lines);
  if (!run.Ok) {
    // The lines before stay programmed; the rest is not sent.
    out.Message = ErrFailed;
    out.Detail = "line " + std::to_string(run.FailedLine) + ", after " + std::to_string(run.Sent) +
                 " PLU programmed: " + ToUtf8(run.Reason);
    return out;
  }
  out.Ok = true;
  out.Lines = std::move(lines);
  out.Detail = std::to_string(run.Sent) + " PLU programmed";
  return out;
}

TCommandProcessor::TOutcome TCommandProcessor::RunRead(const TOnlineCommand &cmd,
                                                       const std::string &dir) {
  TOutcome out;
  const TOnlineSettings s = FSettings();
  TProjectContext context;  // its own link: the main window's slot is never used
  context.Dir = dir;
  context.Link = FOptions.Link;
  const TLinkTarget target{s.PortOnline, s.BaudRateOnline};
  // A Z report's lines are in its journal in the work directory before they
  // are acknowledged; it stays there as the archive, or as the lines of a
  // broken read beside where the ".ERR" will be.
  TReportOutcome read = ReadAndKeep(context, cmd.Register, OnlineZNames(cmd.Base), &target);
  if (read.Result.Ok) {
    out.Ok = true;
    out.Detail = std::to_string(read.Lines.size()) + " lines read";
    if (read.HasArchive()) {
      out.Archive = read.ArchivePath;
      out.ArchiveLines = read.Lines.size();
      out.Detail += ", archived in " + read.ArchivePath;
    }
    if (cmd.LaidOut) LayOutPluSales(read.Lines);
    out.Lines = std::move(read.Lines);
    return out;
  }
  out.Message = read.Result.Message == PortOpenMessage ? ErrPortRead : ErrFailed;
  out.Detail = ToUtf8(read.Result.Reason);
  if (read.HasPartial()) Log(std::string(cmd.File) + ": " + read.PartialLogLine());
  return out;
}

void TCommandProcessor::WriteResult(const std::string &dir, const TOnlineCommand &cmd,
                                    TOutcome &out) {
  // Written under a temporary name (".WRITEPLU.OK.tmp-...") that no command
  // or result name matches, and renamed into place: the other program never
  // reads half a result, and a link at the result's name is replaced.
  if (out.Ok)
    WriteLinesAtomic(dir + cmd.Base + ".OK", out.Lines);
  else
    WriteLinesAtomic(dir + cmd.Base + ".ERR", {out.Message});
}

void TCommandProcessor::DeleteResults(const std::string &dir, const TOnlineCommand &cmd) {
  std::vector<std::vector<std::string>> found;
  if (!ScanNoCase(dir, {std::string(cmd.Base) + ".OK", std::string(cmd.Base) + ".ERR"}, found)) return;
  for (const auto &names : found)
    for (const std::string &n : names) ::unlink((dir + n).c_str());  // a failure is ignored
}

void TCommandProcessor::DeleteCommandFile(const std::string &dir, const std::string &name) {
  const std::string path = dir + name;
  if (::unlink(path.c_str()) == 0 || errno == ENOENT) return;
  const int err = errno;
  TFileStamp stamp;
  if (EntryStamp(path, stamp)) FUndeletable[name] = stamp;
  Log(name + ": cannot delete it (" + ErrnoReason(err) +
      "); it is not carried out again until it changes");
}

bool TCommandProcessor::RememberedAsUndeletable(const std::string &dir, const std::string &name) {
  const auto it = FUndeletable.find(name);
  if (it == FUndeletable.end()) return false;
  TFileStamp now;
  if (EntryStamp(dir + name, now) && now == it->second) return true;
  FUndeletable.erase(it);
  return false;
}

void TCommandProcessor::Wait(int ms, bool pause) {
  if (ms <= 0 || (pause && (FStop || FReleased))) return;
  if (!QCoreApplication::instance()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return;
  }
  // Events keep running (the window repaints, the link's port is served,
  // a tick that comes now finds the busy mark and returns).
  QEventLoop loop;
  QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  if (pause) FPause = &loop;
  loop.exec();
  if (pause) FPause = nullptr;
}
