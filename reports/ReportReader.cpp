#include "ReportReader.h"

#include <exception>

#include "AtomicFile.h"
#include "PartialLines.h"
#include "TarvoCore.h"

std::string TReportOutcome::PartialNote() const {
  if (!HasPartial()) return {};
  const std::string count = std::to_string(PartialCount);
  if (!PartialPath.empty())
    return "Cele " + count + " linii primite inainte de eroare sunt salvate in fisierul\r" + PartialPath;
  return "Cele " + count + " linii primite inainte de eroare nu au putut fi salvate: " + PartialError;
}

std::string TReportOutcome::PartialLogLine() const {
  if (!HasPartial()) return {};
  const std::string lines = "the " + std::to_string(PartialCount) + " lines received before the failure ";
  return PartialPath.empty() ? lines + "could not be saved: " + PartialError : lines + "are saved in " + PartialPath;
}

std::string KeepUndeliveredReport(const std::string &dir, const std::string &prefix, const std::string &suffix,
                                  const TLineList &lines) {
  return SavePartialLines(dir, prefix, suffix, lines);
}

TReportOutcome ReadAndKeep(const TProjectContext &context, const std::string &command, const std::string &prefix,
                           const std::string &suffix, const TLinkTarget *target) {
  TReportOutcome out;
  out.Result = ReadAnswer(context, command, out.Lines, target);
  if (!out.Result.Ok && !out.Lines.empty() && ClearsWhatItReports(command)) {
    out.PartialCount = out.Lines.size();
    try {
      out.PartialPath = SavePartialLines(context.Dir, prefix, suffix, out.Lines);
    } catch (const EFileWrite &e) {
      out.PartialError = e.what();
    }
  }
  return out;
}

TReportOutcome TReportReader::Read(TReportKind kind) {
  const TReportDef &def = ReportDef(kind);
  TReportOutcome out = ReadAndKeep(FContext, def.Command, PartialReportPrefix, PartialReportSuffix);
  out.Title = def.Title;
  return out;
}
