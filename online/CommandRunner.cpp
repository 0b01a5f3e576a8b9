#include "CommandRunner.h"

#include <cstdint>
#include <exception>

#include "CodePage.h"
#include "PluList.h"
#include "PluSalesLayout.h"
#include "ReportReader.h"
#include "ResultFiles.h"

TCommandRunner::TCommandRunner(TSettingsSource settings, TLinkOptions link, TQuietRead quiet, TLog log)
    : FSettings(std::move(settings)), FLink(std::move(link)), FQuiet(quiet), FLog(std::move(log)) {}

TAnsweredFile TCommandRunner::Answer(const TOnlineCommand &cmd, const std::string &dir,
                                     const std::string &name) {
  TAnsweredFile answered;
  TFileStamp entry;
  if (!EntryStamp(dir + name, entry)) return answered;  // taken back before its turn: nothing is asked
  answered.Taken = true;
  DeleteResults(dir, cmd);
  TCommandOutcome out;
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
    answered.Unexpected = true;
    out = TCommandOutcome{};
    out.Message = ErrFailed;
    out.Detail = std::string("unexpected error: ") + e.what();
  } catch (...) {
    answered.Unexpected = true;
    out = TCommandOutcome{};
    out.Message = ErrFailed;
    out.Detail = "unexpected error";
  }
  // Whatever happened, the other program gets an answer.
  const std::string resultName = DeliverResult(dir, cmd, out, name, FLog);
  answered.LogLine = name + " -> " + resultName +
                     (out.Ok ? ": " + out.Detail
                             : ": " + out.Message + (out.Detail.empty() ? "" : " (" + out.Detail + ")"));
  return answered;
}

TProjectContext TCommandRunner::OnlineContext(const std::string &dir) const {
  TProjectContext context;
  context.Dir = dir;
  context.Link = FLink;
  return context;
}

TCommandOutcome TCommandRunner::RunWritePlu(const std::string &dir, const std::string &name) {
  TCommandOutcome out;
  TDropRead file = ReadWhenQuiet(dir + name, FQuiet);
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
  const TProjectContext context = OnlineContext(dir);  // the session keeps a reference
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

TCommandOutcome TCommandRunner::RunRead(const TOnlineCommand &cmd, const std::string &dir) {
  TCommandOutcome out;
  const TOnlineSettings s = FSettings();
  const TLinkTarget target{s.PortOnline, s.BaudRateOnline};
  // A Z report's lines are in its journal in the work directory before they
  // are acknowledged; it stays there as the archive, or as the lines of a
  // broken read beside where the ".ERR" will be.
  const TProjectContext context = OnlineContext(dir);
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
  if (read.HasPartial()) FLog(std::string(cmd.File) + ": " + read.PartialLogLine());
  return out;
}
