// Reading a report out of the register for the "Rapoarte" menu, tarvoctl's
// `report`, the online mode and the service: one read command on the
// project's link and the text the viewer shows. A Z report's lines go to its
// journal before they are acknowledged, and the journal stays: as the
// report's archive when it completed, as the lines of a broken read when not.
#pragma once

#include <string>

#include "ActionResult.h"
#include "RegisterLink.h"
#include "RegisterReports.h"
#include "ZJournal.h"

struct TReportOutcome {
  // Ok, or the window's message ("Nu pot deschide portul serial !\r",
  // "Operatie nereusita!\r") with the link's reason.
  TActionResult Result;
  std::string Title;  // the viewer's caption
  // The register's lines as received (on a failure, whatever had arrived);
  // ReportText(Title, Lines) is what the viewer shows.
  TLineList Lines;
  // Lines that arrived before a Z report broke off (the register may have
  // cleared them already): kept, as received, in PartialPath, or, when its
  // journal could not be given that name, where PartialError says.
  size_t PartialCount = 0;
  std::string PartialPath;
  std::string PartialError;
  // A complete Z report's archive: its lines as received.
  std::string ArchivePath;

  bool HasPartial() const { return PartialCount > 0; }
  bool HasArchive() const { return !ArchivePath.empty(); }
  // Where a complete Z report is kept, for the user and for a log.
  std::string ArchiveNote() const;
  std::string ArchiveLogLine() const;
  // What the user is told about those lines, in the register's code page.
  std::string PartialNote() const;
  // The same for a log or a terminal, in English ("the 3 lines received
  // before the failure are saved in ...").
  std::string PartialLogLine() const;
};

// Runs a read command, on target when given, else with the project's
// settings. A command that clears what it reports (a Z report) keeps each
// line in a journal in context.Dir named after names before its
// acknowledgement; a journal that cannot be made stops it before anything
// is sent. progress, when given, counts the lines as they arrive (a report
// has no total to expect).
TReportOutcome ReadAndKeep(const TProjectContext &context, const std::string &command, const TZNames &names,
                           const TLinkTarget *target = nullptr, TProgress *progress = nullptr);

// How a project names its PLU sales reports: "VanzariPLU-YYYYMMDD-HHMMSS.jurnal"
// while one is read, ".txt" (its archive) once complete,
// "VanzariPLU-incomplet-YYYYMMDD-HHMMSS.txt" when broken.
TZNames ProjectZNames();
// How the online mode names a Z command's files in its work directory:
// "READPLUSALES-YYYYMMDD-HHMMSS.JURNAL", ".ARHIVA", ".PARTIAL".
TZNames OnlineZNames(const std::string &base);

// Name of the file the lines of a broken PLU sales read are kept in:
// "VanzariPLU-incomplet-YYYYMMDD-HHMMSS.txt" in the project directory.
inline constexpr const char *PartialReportPrefix = "VanzariPLU-incomplet";
inline constexpr const char *PartialReportSuffix = ".txt";
// The same for a PLU sales report read whole that could not be delivered
// (its printout failed): "VanzariPLU-YYYYMMDD-HHMMSS.txt".
inline constexpr const char *UndeliveredReportPrefix = "VanzariPLU";


class TReportReader {
 public:
  explicit TReportReader(TProjectContext context) : FContext(std::move(context)) {}

  TReportOutcome Read(TReportKind kind, TProgress *progress = nullptr);

 private:
  TProjectContext FContext;
};
