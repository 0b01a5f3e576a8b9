// The "Rapoarte" menu on the command line: a report read out of the register
// and printed as the viewer shows it.
#include <cstdio>

#include "CodePage.h"
#include "Output.h"
#include "ReportReader.h"
#include "Subcommands.h"

namespace {

int RunReport(TCliContext &cx) {
  std::string which;
  bool yes = false;
  for (const std::string &a : cx.Args) {
    if (a == "--yes")
      yes = true;
    else if (a.rfind("--", 0) == 0)
      return UsageError(cx, "unknown option " + a);
    else if (which.empty())
      which = a;
    else
      return UsageError(cx, "one report only");
  }
  const TReportDef *def = ReportDefByName(which);
  if (!def) return UsageError(cx, "which report: plu-sales, payments or drawer");
  // The question the menu asks first; nothing is sent without the answer.
  if (def->Kind == TReportKind::PluSales && !yes)
    return UsageError(cx, "report plu-sales reads the PLU sales and clears them in the register "
                          "(a Z report); add --yes to go ahead");
  const auto project = cx.OpenProject();
  if (!project) return ExitFailed;

  TCliProgress progress("report " + which);
  const TReportOutcome outcome = TReportReader(*project).Read(def->Kind, &progress);
  if (!outcome.Result.Ok) {
    ReportFailure(outcome.Result);
    if (outcome.HasPartial()) std::fprintf(stderr, "tarvoctl: %s\n", outcome.PartialLogLine().c_str());
    return ExitFailed;
  }
  std::string out;
  for (const std::string &line : ReportText(outcome.Title, outcome.Lines)) out += ToUtf8(line) + '\n';
  Out(out);
  const bool printed = FinishOutput();
  if (!printed) OutputFailure();
  // The register has cleared what a Z report printed: where its lines are
  // kept is said whether the printout arrived or not.
  if (outcome.HasArchive())
    std::fprintf(stderr, "tarvoctl: %s (%zu lines)\n", outcome.ArchiveLogLine().c_str(), outcome.Lines.size());
  return printed ? ExitOk : ExitFailed;
}

}  // namespace

const TSubcommand CmdReport = {
    "report",
    "  report plu-sales --yes | payments | drawer\n"
    "                                       read a report out of the register and print it as the\n"
    "                                       viewer shows it; plu-sales clears the register's PLU\n"
    "                                       sales (Z), so it needs --yes\n",
    RunReport};
