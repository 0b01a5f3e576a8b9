// The PLU editor without its window: show, read, program, erase, the text
// file, and the row edits of its grid and buttons. Every edit goes through
// the editor's own rules (the code only on a new row, padded to 14 digits,
// the scale mark "x" or blank) and saves PLU.cds, since a command line has
// no window to keep the table open in.
#include <cstdio>
#include <memory>

#include "CellEdits.h"
#include "CodePage.h"
#include "Output.h"
#include "PluLogic.h"
#include "ProjectTables.h"
#include "RegisterCheck.h"
#include "Subcommands.h"
#include "TableFile.h"
#include "ValueText.h"

namespace {

int Saved(const TActionResult &r) { return r.Ok ? ExitOk : ReportFailure(r); }

// Applies FIELD=VALUE words to row recNo through the grid's rules. False
// (message printed) at the first refusal.
bool Assign(TPluLogic &logic, int recNo, const TCellValues &values) {
  const TCellRefusal r = SetPluCells(logic, recNo, values);
  if (r.Kind == TCellRefusal::UnknownField)
    std::fprintf(stderr, "tarvoctl: %s is not a field that can be set (%s)\n", r.Field.c_str(), PluSettableFields);
  else if (r)
    std::fprintf(stderr, "tarvoctl: %s: %s\n", r.Field.c_str(), ToUtf8(r.Why).c_str());
  return !r;
}

std::optional<int> RowOfCode(TCliContext &cx, TPluLogic &logic, const std::string &word) {
  const auto code = ParseNumber(word, 0, MaxPluCode);
  if (!code) {
    UsageError(cx, "COD must be a PLU code of up to 14 digits: " + word);
    return std::nullopt;
  }
  const int recNo = logic.FindCode(*code);
  if (recNo == 0) {
    Fail("there is no PLU with the code " + std::to_string(*code));
    return std::nullopt;
  }
  return recNo;
}

int RunPlu(TCliContext &cx) {
  if (cx.Args.empty()) return UsageError(cx, "plu needs an action");
  const std::string action = cx.Args[0];
  const size_t words = cx.Args.size();
  auto needs = [&](size_t n) { return words == n; };
  const bool changed = action == "program" && needs(2) && cx.Args[1] == "--changed";
  if (((action == "show" || action == "read" || action == "verify" || (action == "program" && !changed)) &&
       !needs(1)) ||
      (action == "erase" && !(needs(1) || (needs(2) && cx.Args[1] == "--yes"))) ||
      ((action == "export" || action == "import" || action == "delete" || action == "undelete") && !needs(2)) ||
      (action == "set" && words < 3))
    return UsageError(cx, "wrong words for plu " + action);
  if (action == "erase" && !needs(2))
    return UsageError(cx, "plu erase empties the register's PLU file and the project's PLU.cds: "
                          "add --yes to go on (nothing was sent)");
  std::vector<std::pair<std::string, std::string>> values;
  if (action == "add" || action == "set")
    if (const int status = ParseAssignments(cx, action == "add" ? 1 : 2, values)) return status;

  const auto project = cx.OpenProject();
  if (!project) return ExitFailed;
  std::unique_ptr<TPluLogic> logic;
  try {
    logic = std::make_unique<TPluLogic>(*project);
  } catch (const ETableFile &e) {
    return Fail(e.what());
  }

  if (action == "show") {
    PrintTable(logic->Table());
    return ExitOk;
  }
  if (action == "read") {
    TCliProgress progress("D10000");
    return Saved(logic->Read(progress));
  }
  if (action == "program") {
    TCliProgress progress("U10000");
    const TActionResult r = changed ? logic->ProgramChanges(progress) : logic->Program(progress);
    if (!logic->DuplicateMessages().empty()) {
      for (const std::string &m : logic->DuplicateMessages()) ReportFailure(TActionResult::Failure(m));
      return ExitFailed;
    }
    if (!changed) return Saved(r);
    return ReportChangesRun(cx, "plu", r, *logic, logic->Table().RecordCount(),
                            ProjectTablePath(project->Dir, tiPLU));
  }
  if (action == "verify") {
    TCliProgress progress("D10000");
    const TActionResult r = logic->Verify(progress);
    return ReportVerify("plu", r, *logic, "Cod");
  }
  if (action == "erase") return Saved(logic->EraseAll());
  if (action == "export") return Saved(logic->SaveTextFile(cx.Args[1]));
  if (action == "import") {
    if (const TActionResult r = logic->ImportTextFile(cx.Args[1]); !r.Ok) return ReportFailure(r);
    return Saved(logic->SavePluTable());
  }
  if (action == "add") {
    const int recNo = logic->Add();
    if (!Assign(*logic, recNo, values)) return ExitFailed;
    const double cod = logic->Table().AsFloat("Cod");
    if (const TActionResult r = logic->SavePluTable(); !r.Ok) return ReportFailure(r);
    OutF("%lld\n", static_cast<long long>(cod));
    return ExitOk;
  }
  if (action == "set") {
    const auto recNo = RowOfCode(cx, *logic, cx.Args[1]);
    if (!recNo) return ExitFailed;
    if (!Assign(*logic, *recNo, values)) return ExitFailed;
    return Saved(logic->SavePluTable());
  }
  if (action == "delete" || action == "undelete") {
    const auto recNo = RowOfCode(cx, *logic, cx.Args[1]);
    if (!recNo) return ExitFailed;
    logic->SetDeletionMark(*recNo, action == "delete");
    return Saved(logic->SavePluTable());
  }
  return UsageError(cx, "unknown plu action " + action);
}

}  // namespace

const TSubcommand CmdPlu = {
    "plu",
    "  plu show                             print PLU.cds (all fields, Cod order)\n"
    "  plu read                             read the PLUs from the register (\"&Citire din casa\");\n"
    "                                       replaces the whole table, saves PLU.cds\n"
    "  plu program                          program the register (\"&Programare casa\"): new, marked\n"
    "                                       and other rows, then CPB/CPM/CPD; saves PLU.cds\n"
    "  plu program --changed                the same for the rows that differ from what the register\n"
    "                                       was last known to hold, and every new and marked row\n"
    "                                       (\"Programare modificari\"); without that knowledge: status 1\n"
    "  plu verify                           read the PLUs from the register and print how they differ\n"
    "                                       from PLU.cds, one line each (\"Verificare casa\"); changes\n"
    "                                       neither; status 0 same, 1 different or failed\n"
    "  plu erase --yes                      erase every PLU in the register (CPX) and empty PLU.cds\n"
    "  plu export FILE                      save the PLU text file (\"Sal&vare fisier text\")\n"
    "  plu import FILE                      import a PLU text file and save PLU.cds\n"
    "  plu add [FIELD=VALUE...]             append a new PLU with the defaults and the values given,\n"
    "                                       save, print its Cod\n"
    "  plu set COD FIELD=VALUE...           change the first row with the code COD (CodAlfa only on a\n"
    "                                       new row; Cantar takes \"x\" or blank)\n"
    "  plu delete COD                       remove a new PLU, or mark another for deletion\n"
    "  plu undelete COD                     take the deletion mark back\n",
    RunPlu};
