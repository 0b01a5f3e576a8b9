#include "ReportReader.h"

#include <exception>
#include <memory>

#include "AtomicFile.h"
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

std::string TReportOutcome::ArchiveNote() const {
  return HasArchive() ? "Raportul Z este arhivat in fisierul\r" + ArchivePath : std::string();
}

std::string TReportOutcome::ArchiveLogLine() const {
  return HasArchive() ? "the Z report is archived in " + ArchivePath : std::string();
}

TZNames ProjectZNames() {
  return {UndeliveredReportPrefix, ".jurnal", PartialReportSuffix, PartialReportPrefix, PartialReportSuffix};
}

TZNames OnlineZNames(const std::string &base) { return {base, ".JURNAL", ".ARHIVA", base, ".PARTIAL"}; }

TReportOutcome ReadAndKeep(const TProjectContext &context, const std::string &command, const TZNames &names,
                           const TLinkTarget *target, TProgress *progress) {
  TReportOutcome out;
  if (!ClearsWhatItReports(command)) {
    out.Result = ReadAnswer(context, command, out.Lines, target, {}, progress);
    return out;
  }
  std::unique_ptr<TZJournal> journal;
  try {
    journal = std::make_unique<TZJournal>(context.Dir, names);
  } catch (const EFileWrite &e) {
    // Nothing is asked of the register that could not be kept.
    out.Result = TActionResult::Failure(OperationFailedMessage, e.what());
    return out;
  }
  out.Result = ReadAnswer(context, command, out.Lines, target, journal->Keeper(), progress);
  const bool complete = out.Result.Ok;
  if (!complete && journal->Lines() == 0) {
    journal->Discard();
    return out;
  }
  std::string path;
  try {
    path = journal->Finish(complete);
  } catch (const EFileWrite &e) {
    // The lines are on disk under the journal's name all the same.
    path = journal->Path();
    if (!complete) out.PartialError = std::string(e.what()) + "; liniile sunt in " + path;
  }
  if (complete) {
    out.ArchivePath = path;
  } else {
    out.PartialCount = journal->Lines();
    if (out.PartialError.empty()) out.PartialPath = path;
  }
  return out;
}

TReportOutcome TReportReader::Read(TReportKind kind, TProgress *progress) {
  const TReportDef &def = ReportDef(kind);
  TReportOutcome out = ReadAndKeep(FContext, def.Command, ProjectZNames(), nullptr, progress);
  out.Title = def.Title;
  return out;
}
