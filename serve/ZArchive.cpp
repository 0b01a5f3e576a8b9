#include "ZArchive.h"

#include "AtomicFile.h"
#include "PartialLines.h"

TZArchive KeepZArchive(const std::string &projectDir, const TReportOutcome &outcome) {
  TZArchive out;
  if (!outcome.Result.Ok) {
    out.Path = outcome.PartialPath;
    out.Error = outcome.PartialError;
    return out;
  }
  try {
    out.Path = SavePartialLines(projectDir, ZArchivePrefix, ZArchiveSuffix, outcome.Lines);
  } catch (const EFileWrite &e) {
    out.Error = e.what();
  }
  return out;
}
