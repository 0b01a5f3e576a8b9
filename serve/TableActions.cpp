#include "Actions.h"

#include <memory>

#include "BlockEditor.h"
#include "CodePage.h"
#include "DifferenceText.h"
#include "PluLogic.h"
#include "ServeJson.h"
#include "TableEditor.h"
#include "TableText.h"

namespace {

bool IsBlockTable(TTableId id) { return id == tiSP || id == tiSO; }

// The editor tarvoctl's table subcommands open; throws ETableFile.
std::unique_ptr<TEditorLogic> OpenLogic(const TProjectContext &project, TTableId id) {
  if (id == tiPLU) return std::make_unique<TPluLogic>(project);
  if (id == tiSP) return std::make_unique<TBlockEditor>(project, SPBlocks());
  if (id == tiSO) return std::make_unique<TBlockEditor>(project, SOBlocks());
  return std::make_unique<TTableEditor>(project, *DescriptionOf(id));
}

const TRecordSet &TableOf(TEditorLogic &logic) {
  if (auto *plu = dynamic_cast<TPluLogic *>(&logic)) return plu->Table();
  return static_cast<TTableEditor &>(logic).Table();
}

QJsonObject RowObject(const TRecordSet &table, int recNo) {
  const std::vector<std::string> values = RowText(table, recNo);
  QJsonObject row;
  for (size_t f = 0; f < values.size(); ++f) row[Utf8Text(table.FieldDefs()[f].Name)] = Utf8Text(values[f]);
  return row;
}

}  // namespace

TAnswer ShowTableAnswer(const TProjectContext &project, TTableId table) {
  const std::unique_ptr<TEditorLogic> logic = OpenLogic(project, table);
  const TTableText text = TableText(TableOf(*logic));
  QJsonArray rows;
  for (const auto &row : text.Rows) rows.append(Utf8Array(row));
  return JsonAnswer({{"fields", Utf8Array(text.Fields)}, {"rows", rows}});
}

TAnswer TableActionAnswer(const TProjectContext &project, TTableId table, TTableAction action) {
  const std::unique_ptr<TEditorLogic> logic = OpenLogic(project, table);
  TProgress quiet;
  TActionResult result;
  switch (action) {
    case TTableAction::Read: result = logic->Read(quiet); break;
    case TTableAction::Program: result = logic->Program(quiet); break;
    case TTableAction::ProgramChanged: result = logic->ProgramChanges(quiet); break;
    case TTableAction::Verify: result = logic->Verify(quiet); break;
  }
  QJsonObject body = ResultObject(result);
  body["differences"] = QJsonArray();
  body["rows"] = TableOf(*logic).RecordCount();
  if (action == TTableAction::Verify) {
    const TVerifyReport &report = logic->LastVerify();
    // As tarvoctl's status: ok only when the register holds the project's
    // table and its image could be written.
    body["ok"] = result.Ok && report.Done && report.Same();
    body["same"] = report.Done && report.Same();
    if (report.Done) body["differences"] = Utf8Array(DifferenceLines(report, IsBlockTable(table) ? "Bloc" : "Cod"));
  } else if (action == TTableAction::Read) {
    if (auto *editor = dynamic_cast<TTableEditor *>(logic.get()); editor && result.Ok) {
      body["linesReceived"] = editor->LastAnswerLines();
      body["linesTaken"] = editor->LastLinesTaken();
    }
  } else {
    body["rowsSent"] = logic->LastRowsSent();
    if (auto *plu = dynamic_cast<TPluLogic *>(logic.get()); plu && !plu->DuplicateMessages().empty()) {
      QJsonArray repeated;
      for (const std::string &m : plu->DuplicateMessages()) repeated.append(RegisterText(m));
      body["duplicates"] = repeated;
    }
  }
  return JsonAnswer(body);
}

TAnswer RowChangeAnswer(const TProjectContext &project, TTableId table, int64_t cod, const TCellValues &cells) {
  const std::unique_ptr<TEditorLogic> logic = OpenLogic(project, table);
  const std::string code = std::to_string(cod);
  TCellRefusal refusal;
  int recNo = 0;
  TActionResult saved;
  if (auto *plu = dynamic_cast<TPluLogic *>(logic.get())) {
    recNo = plu->FindCode(cod);
    if (!recNo) return ErrorAnswer(404, "Nu exista PLU cu codul " + code, "no PLU has the code " + code);
    refusal = SetPluCells(*plu, recNo, cells);
    if (!refusal) saved = plu->SavePluTable();
  } else {
    auto &editor = static_cast<TTableEditor &>(*logic);
    refusal = SetTableCells(editor, int32_t(cod), cells, &recNo);
    if (!refusal) saved = editor.Save();
  }
  switch (refusal.Kind) {
    case TCellRefusal::None: break;
    case TCellRefusal::NoRow:
      return ErrorAnswer(404, (IsBlockTable(table) ? "Nu exista blocul " : "Nu exista randul cu codul ") + code,
                         std::string(TableWord(table)) + ": no row has the code " + code);
    case TCellRefusal::NotReadYet:
      return ErrorAnswer(409, RegisterText(ReadBlocksFirstMessage).toStdString(),
                         std::string("there is no ") + TableFileName(table) + " yet: read the table first");
    case TCellRefusal::UnknownField: {
      std::string takes = IsBlockTable(table)   ? "the positions P1 to P32 of a block"
                          : table == tiPLU      ? PluSettableFields
                                                : TypedColumns(static_cast<TTableEditor &>(*logic));
      return ErrorAnswer(422, "Campul " + refusal.Field + " nu poate fi schimbat", "it takes " + takes);
    }
    case TCellRefusal::Refused:
      return ErrorAnswer(422, RegisterText(refusal.Why).toStdString(), refusal.Field);
  }
  if (!saved.Ok)
    return ErrorAnswer(500, RegisterText(saved.Message).toStdString(), RegisterText(saved.ReasonLine()).toStdString());
  return JsonAnswer({{"row", RowObject(TableOf(*logic), recNo)}});
}
