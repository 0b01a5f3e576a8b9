// The table editors without their windows: show a table, read it from the
// register, program the register from it, change cells of a row. The same
// logic object as the window's, so the same rules: when the file is written,
// which cells take typing, the password completion, the refusal to program
// parameters or options that were never read.
#include <cstdint>
#include <cstdio>
#include <memory>

#include "BlockEditor.h"
#include "CellEdits.h"
#include "CodePage.h"
#include "ProjectTables.h"
#include "RegisterCheck.h"
#include "Subcommands.h"
#include "TableEditor.h"
#include "ValueText.h"

namespace {

struct TTableWords {
  const char *Name;  // the subcommand
  TTableId Id;
  const char *What;  // for messages
};

const TTableWords &WordsOf(TTableId id) {
  static const TTableWords words[] = {
      {"dept", tiDepartamente, "departments"}, {"vat", tiTVA, "VAT rates"},
      {"cashier", tiCasieri, "cashiers"},      {"rate", tiCurs, "exchange rates"},
      {"payment", tiFormePlata, "payment forms"}, {"param", tiSP, "system parameters"},
      {"option", tiSO, "system options"}};
  for (const TTableWords &w : words)
    if (w.Id == id) return w;
  return words[0];
}

bool IsBlockTable(TTableId id) { return id == tiSP || id == tiSO; }

std::unique_ptr<TTableEditor> OpenEditor(const TProjectContext &project, TTableId id) {
  if (id == tiSP) return std::make_unique<TBlockEditor>(project, SPBlocks());
  if (id == tiSO) return std::make_unique<TBlockEditor>(project, SOBlocks());
  return std::make_unique<TTableEditor>(project, *DescriptionOf(id));
}

int Set(TCliContext &cx, TTableEditor &editor, TTableId id, int32_t cod, const TCellValues &cells) {
  const TTableWords &w = WordsOf(id);
  const std::string path = ProjectTablePath(editor.Context().Dir, id);
  switch (const TCellRefusal r = SetTableCells(editor, cod, cells); r.Kind) {
    case TCellRefusal::None: break;
    case TCellRefusal::NotReadYet:
      return Fail(std::string("there is no ") + TableFileName(id) + " yet: read the " + w.What +
                  " from the register first (tarvoctl --project " + cx.Project + " " + w.Name + " read)");
    case TCellRefusal::NoRow:
      return Fail(std::string(w.What) + (IsBlockTable(id) ? ": there is no block " : ": there is no row with Cod ") +
                  std::to_string(cod));
    case TCellRefusal::UnknownField:
      if (IsBlockTable(id)) return Fail(r.Field + " is not a position of a block (P1 to P32)");
      return Fail(r.Field + " is not a column of the " + w.What + " editor (it takes " + TypedColumns(editor) + ")");
    case TCellRefusal::Refused: return Fail(r.Field + ": " + ToUtf8(r.Why));
  }
  if (const TActionResult saved = editor.Save(); !saved.Ok) return ReportFailure(saved);
  std::fprintf(stderr, "tarvoctl: %s: saved %s\n", w.Name, path.c_str());
  return ExitOk;
}

int RunTable(TCliContext &cx, TTableId id) {
  const TTableWords &w = WordsOf(id);
  if (cx.Args.empty()) return UsageError(cx, "show, read, program, verify or set is missing");
  const std::string verb = cx.Args[0];
  int32_t cod = 0;
  TCellValues cells;
  bool changed = false;
  if (verb == "program" && cx.Args.size() == 2 && cx.Args[1] == "--changed") {
    changed = true;
  } else if (verb == "show" || verb == "read" || verb == "program" || verb == "verify") {
    if (cx.Args.size() != 1) return UsageError(cx, verb + " takes no further words");
  } else if (verb == "set") {
    if (cx.Args.size() < 3) return UsageError(cx, "set needs a code and at least one FIELD=VALUE");
    const auto n = ParseNumber(cx.Args[1], INT32_MIN, INT32_MAX);
    if (!n) return UsageError(cx, cx.Args[1] + " is not a code (a whole number)");
    cod = int32_t(*n);
    if (const int status = ParseAssignments(cx, 2, cells)) return status;
  } else {
    return UsageError(cx, "unknown action " + verb + " (show, read, program, verify or set)");
  }

  const auto project = cx.OpenProject();
  if (!project) return ExitFailed;
  std::unique_ptr<TTableEditor> editor;
  try {
    editor = OpenEditor(*project, id);
  } catch (const std::exception &e) {
    return Fail(e.what());  // a table file that cannot be read stays as it is
  }

  if (verb == "show") {
    PrintTable(editor->Table());
    return ExitOk;
  }
  if (verb == "set") return Set(cx, *editor, id, cod, cells);

  const std::string path = ProjectTablePath(project->Dir, id);
  if (verb == "verify") {
    TCliProgress progress(std::string(w.Name) + " verify");
    const TActionResult result = editor->Verify(progress);
    return ReportVerify(w.Name, result, *editor, IsBlockTable(id) ? "Bloc" : "Cod");
  }
  if (changed) {
    TCliProgress progress(std::string(w.Name) + " program --changed");
    const TActionResult result = editor->ProgramChanges(progress);
    return ReportChangesRun(cx, w.Name, result, *editor, editor->Table().RecordCount(), path);
  }

  const bool reading = verb == "read";
  TCliProgress progress(std::string(w.Name) + (reading ? " read" : " program"));
  const TActionResult result = reading ? editor->Read(progress) : editor->Program(progress);
  if (!result.Ok) return ReportFailure(result);
  if (!reading)
    std::fprintf(stderr, "tarvoctl: %s: %d rows programmed, saved %s\n", w.Name, editor->Table().RecordCount(),
                 path.c_str());
  else if (editor->LastAnswerLines() == 0)
    std::fprintf(stderr, "tarvoctl: %s: the register sent no lines; nothing changed\n", w.Name);
  else
    std::fprintf(stderr, "tarvoctl: %s: %d of %d lines taken, saved %s\n", w.Name, editor->LastLinesTaken(),
                 editor->LastAnswerLines(), path.c_str());
  return ExitOk;
}

template <TTableId Id>
int Run(TCliContext &cx) {
  return RunTable(cx, Id);
}

}  // namespace

const TSubcommand CmdDept = {
    "dept",
    "  TABLE show                           print the project's table (TABLE: dept vat cashier rate\n"
    "                                       payment param option)\n"
    "  TABLE read                           read it from the register and save it (\"Citire din casa\")\n"
    "  TABLE program                        program the register from it (\"Programare casa\"); param\n"
    "                                       and option only after a first successful read\n"
    "  TABLE program --changed              program only the rows that differ from what the register\n"
    "                                       was last known to hold (its last read, verify or run;\n"
    "                                       \"Programare modificari\"); without that: status 1\n"
    "  TABLE verify                         read the table from the register and print how it differs\n"
    "                                       from the project, one line each (\"Verificare casa\");\n"
    "                                       changes neither; status 0 same, 1 different or failed\n"
    "  TABLE set COD FIELD=VALUE...         change cells of the row with code COD under the editor's\n"
    "                                       rules and save the table; param and option: COD is the\n"
    "                                       block and FIELD a described position (P21)\n"
    "  dept show|read|program|verify|set    departments (Departamente.cds: Nume, UM, TVA)\n",
    Run<tiDepartamente>};
const TSubcommand CmdVat = {
    "vat", "  vat show|read|program|verify|set     VAT rates (TVA.cds: Cota)\n", Run<tiTVA>};
const TSubcommand CmdCashier = {
    "cashier", "  cashier show|read|program|verify|set cashiers (Casieri.cds: Nume, Parola of digits)\n",
    Run<tiCasieri>};
const TSubcommand CmdRate = {
    "rate", "  rate show|read|program|verify|set    exchange rates (Curs.cds: Rata)\n", Run<tiCurs>};
const TSubcommand CmdPayment = {
    "payment", "  payment show|read|program|verify|set payment forms (FormePlata.cds: Nume)\n",
    Run<tiFormePlata>};
const TSubcommand CmdParam = {
    "param", "  param show|read|program|verify|set   system parameters (SP.cds: set BLOCK Pn=VALUE)\n",
    Run<tiSP>};
const TSubcommand CmdOption = {
    "option", "  option show|read|program|verify|set  system options (SO.cds: set BLOCK Pn=VALUE)\n",
    Run<tiSO>};
