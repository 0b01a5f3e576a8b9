#include "ResultFiles.h"

#include <exception>
#include <unistd.h>
#include <vector>

#include "AtomicFile.h"
#include "ScanNoCase.h"

namespace {

// What an answer that could not be written becomes: a failure that says
// where a Z report's lines, cleared in the register, are kept.
TCommandOutcome Undelivered(const TCommandOutcome &done, const std::string &why) {
  TCommandOutcome out;
  out.Message = ErrFailed;
  out.Detail = why;
  if (!done.Archive.empty())
    out.Detail += "; the " + std::to_string(done.ArchiveLines) + " lines of the report are kept in " + done.Archive;
  return out;
}

}  // namespace

void DeleteResults(const std::string &dir, const TOnlineCommand &cmd) {
  std::vector<std::vector<std::string>> found;
  if (!ScanNoCase(dir, {std::string(cmd.Base) + ".OK", std::string(cmd.Base) + ".ERR"}, found)) return;
  for (const auto &names : found)
    for (const std::string &n : names) ::unlink((dir + n).c_str());  // a failure is ignored
}

void WriteResult(const std::string &dir, const TOnlineCommand &cmd, const TCommandOutcome &out) {
  // Written under a temporary name (".WRITEPLU.OK.tmp-...") that no command
  // or result name matches, and renamed into place: the other program never
  // reads half a result, and a link at the result's name is replaced.
  if (out.Ok)
    WriteLinesAtomic(dir + cmd.Base + ".OK", out.Lines);
  else
    WriteLinesAtomic(dir + cmd.Base + ".ERR", {out.Message});
}

std::string DeliverResult(const std::string &dir, const TOnlineCommand &cmd, TCommandOutcome &out,
                          const std::string &name, const std::function<void(const std::string &)> &log) {
  std::string resultName = std::string(cmd.Base) + (out.Ok ? ".OK" : ".ERR");
  try {
    WriteResult(dir, cmd, out);
  } catch (const std::exception &e) {
    if (!out.Ok) {
      log(name + ": cannot write " + resultName + ": " + e.what());
    } else {
      out = Undelivered(out, resultName + " could not be written: " + e.what());
      resultName = std::string(cmd.Base) + ".ERR";
      try {
        WriteResult(dir, cmd, out);
      } catch (const std::exception &e2) {
        log(name + ": cannot write " + resultName + " either: " + e2.what());
      }
    }
  }
  return resultName;
}
