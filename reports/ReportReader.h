// Reading a report out of the register for the "Rapoarte" menu and for
// tarvoctl's `report`: one read command on the project's link, the text the
// viewer shows, and, when a Z report breaks off, the lines that did arrive
// kept in the project directory.
#pragma once

#include <string>

#include "ActionResult.h"
#include "RegisterLink.h"
#include "RegisterReports.h"

struct TReportOutcome {
  // Ok, or the window's message ("Nu pot deschide portul serial !\r",
  // "Operatie nereusita!\r") with the link's reason.
  TActionResult Result;
  std::string Title;  // the viewer's caption
  // The register's lines as received (on a failure, whatever had arrived);
  // ReportText(Title, Lines) is what the viewer shows.
  TLineList Lines;
  // Lines that arrived before a Z report broke off (the register may have
  // cleared them already): saved, as received, in PartialPath, or, when that
  // failed, not saved for the reason in PartialError.
  size_t PartialCount = 0;
  std::string PartialPath;
  std::string PartialError;

  bool HasPartial() const { return PartialCount > 0; }
  // What the user is told about those lines, in the register's code page.
  std::string PartialNote() const;
  // The same for a log or a terminal, in English ("the 3 lines received
  // before the failure are saved in ...").
  std::string PartialLogLine() const;
};

// Runs a read command. When it breaks off after lines arrived and it is one
// that clears what it reports (a Z report), those lines, the only copy
// left, are saved as received in context.Dir under prefix, the date and
// time and suffix before this returns. On target when given, else with the
// project's settings.
TReportOutcome ReadAndKeep(const TProjectContext &context, const std::string &command, const std::string &prefix,
                           const std::string &suffix, const TLinkTarget *target = nullptr);

// Name of the file the lines of a broken PLU sales read are kept in:
// "VanzariPLU-incomplet-YYYYMMDD-HHMMSS.txt" in the project directory.
inline constexpr const char *PartialReportPrefix = "VanzariPLU-incomplet";
inline constexpr const char *PartialReportSuffix = ".txt";
// The same for a PLU sales report read whole that could not be delivered
// (its printout failed): "VanzariPLU-YYYYMMDD-HHMMSS.txt".
inline constexpr const char *UndeliveredReportPrefix = "VanzariPLU";

// Keeps the lines of a Z report that was read whole but did not reach the
// one who asked (a printout or a result file that could not be written):
// the register has cleared them, so they go, as received, to a file in dir
// named prefix, the date and time and suffix, never replacing an earlier
// one. Returns its path; throws EFileWrite.
std::string KeepUndeliveredReport(const std::string &dir, const std::string &prefix, const std::string &suffix,
                                  const TLineList &lines);

class TReportReader {
 public:
  explicit TReportReader(TProjectContext context) : FContext(std::move(context)) {}

  TReportOutcome Read(TReportKind kind);

 private:
  TProjectContext FContext;
};
