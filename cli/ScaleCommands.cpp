// The scale window without its window: the project's scale list and
// barcode prefix (Cantare.txt, Prefix.txt) and the transfer to the scales
// of the PLUs marked "x" in PLU.cds.
#include <algorithm>
#include <cstdio>

#include "CodePage.h"
#include "Output.h"
#include "ProgramDir.h"
#include "ProjectTables.h"
#include "ScaleTransfer.h"
#include "Subcommands.h"
#include "TableFile.h"

namespace {

int RunScale(TCliContext &cx) {
  if (cx.Args.empty()) return UsageError(cx, "scale needs an action");
  const std::string action = cx.Args[0];
  const bool oneWord = action == "show" || action == "send";
  const bool twoWords = action == "add" || action == "remove" || action == "prefix";
  if (!oneWord && !twoWords) return UsageError(cx, "unknown scale action " + action);
  if (cx.Args.size() != (oneWord ? 1u : 2u)) return UsageError(cx, "wrong words for scale " + action);
  std::string word;
  if (twoWords) {
    bool ok = true;
    word = FromUtf8(cx.Args[1], &ok);
    if (!ok) return Fail(cx.Args[1] + " holds characters the register's code page (Windows-1250) cannot hold");
  }

  const auto project = cx.OpenProject();
  if (!project) return ExitFailed;
  TScaleSettings settings;
  try {
    settings = LoadScaleSettings(project->Dir);
  } catch (const std::exception &e) {
    return Fail(e.what());
  }

  if (action == "show") {
    OutF("Prefix;%s\n", ToUtf8(settings.Prefix).c_str());
    for (const std::string &a : settings.Scales) OutF("Cantar;%s\n", ToUtf8(a).c_str());
    return ExitOk;
  }
  if (action == "send") {
    TScaleOutcome outcome;
    try {
      const TRecordSet plu = OpenProjectTable(project->Dir, tiPLU);
      outcome = SendToScales(plu, settings, ProgramDirectory());
    } catch (const ETableFile &e) {
      return Fail(e.what());
    }
    if (outcome.Ok) {
      OutF("%s (%d PLU)\n", ForTerminal(outcome.Text).c_str(), outcome.Records);
      return ExitOk;
    }
    return Fail(ForTerminal(outcome.Text));
  }

  if (action == "add") {
    if (const std::string problem = ScaleAddressProblem(word); !problem.empty()) return Fail(ForTerminal(problem));
    settings.Scales.push_back(word);
  } else if (action == "remove") {
    const auto at = std::find(settings.Scales.begin(), settings.Scales.end(), word);
    if (at == settings.Scales.end()) return Fail("there is no scale " + cx.Args[1] + " in the list");
    settings.Scales.erase(at);
  } else {
    if (const std::string problem = PrefixProblem(word); !problem.empty())
      return UsageError(cx, ForTerminal(problem));
    settings.Prefix = word;
  }
  try {
    SaveScaleSettings(project->Dir, settings);
  } catch (const std::exception &e) {
    return Fail(e.what());
  }
  return ExitOk;
}

}  // namespace

const TSubcommand CmdScale = {
    "scale",
    "  scale show                           print the prefix and the scale list (Prefix;P, Cantar;A)\n"
    "  scale add ADDRESS                    append a scale's address to Cantare.txt\n"
    "  scale remove ADDRESS                 remove the first scale with that address\n"
    "  scale prefix DIGITS                  set the barcode prefix (Prefix.txt); \"\" clears it\n"
    "  scale send                           send the PLUs marked \"x\" in PLU.cds to the scales\n"
    "                                       (\"&Programare cantare\": SM<address>F37.DAT, DIGIWTCP.EXE)\n",
    RunScale};
