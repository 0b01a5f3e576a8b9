#include "RegisterCheck.h"

#include <cstdio>

#include "DifferenceText.h"
#include "Output.h"

namespace {

std::string Counted(int n, const char *what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

int ReportChangesRun(const TCliContext &cx, const std::string &name, const TActionResult &result,
                     const TEditorLogic &logic, int tableRows, const std::string &savedPath) {
  if (!result.Ok) {
    ReportFailure(result);
    if (result.Message == NoImageMessage)
      std::fprintf(stderr,
                   "tarvoctl: %s: nothing was sent; program the whole table with: tarvoctl --project %s %s program\n",
                   name.c_str(), cx.Project.c_str(), name.c_str());
    else if (logic.LastRowsSent() > 0)
      std::fprintf(stderr, "tarvoctl: %s: the register took %d rows before it stopped; program --changed sends the rest\n",
                   name.c_str(), logic.LastRowsSent());
    return ExitFailed;
  }
  if (logic.LastRowsSent() == 0)
    std::fprintf(stderr,
                 "tarvoctl: %s: no row differs from what the register was last known to hold; nothing sent, "
                 "saved %s\n",
                 name.c_str(), savedPath.c_str());
  else
    std::fprintf(stderr, "tarvoctl: %s: %d changed %s of %d programmed, saved %s\n", name.c_str(),
                 logic.LastRowsSent(), logic.LastRowsSent() == 1 ? "row" : "rows", tableRows, savedPath.c_str());
  return ExitOk;
}

int ReportVerify(const std::string &name, const TActionResult &result, const TEditorLogic &logic,
                 const std::string &codeWord) {
  const TVerifyReport &report = logic.LastVerify();
  if (!report.Done) return ReportFailure(result);
  std::string out;
  for (const std::string &line : DifferenceLines(report, codeWord)) out += line + "\n";
  Out(out);
  if (report.Same())
    std::fprintf(stderr, "tarvoctl: %s: the register holds the project's table (%d rows)\n", name.c_str(),
                 report.ProjectRows);
  else
    std::fprintf(stderr, "tarvoctl: %s: %s in %s between the project (%d rows) and the register (%d rows)\n",
                 name.c_str(), Counted(report.Lines(), "difference").c_str(),
                 Counted(int(report.Differences.size()), codeWord == "Bloc" ? "block" : "code").c_str(),
                 report.ProjectRows, report.RegisterRows);
  // The comparison stands; a register image that could not be written is
  // said after it.
  if (!result.Ok) ReportFailure(result);
  return report.Same() && result.Ok ? ExitOk : ExitFailed;
}
