#include "TableEditor.h"

#include "ProjectTables.h"
#include "RegisterActions.h"
#include "TableFill.h"
#include "TextHelpers.h"
#include "ValueText.h"

TTableEditor::TTableEditor(TProjectContext context, const TTableDescription &description)
    : TEditorLogic(std::move(context)),
      FDescription(description),
      FTable(OpenProjectTable(FContext.Dir, description.Table)) {}

TActionResult TTableEditor::Read(TProgress &progress) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  TLineList lines;
  TActionResult result = ReadAnswer(FContext, FDescription.ReadCommand, lines);
  if (!result.Ok) return result;
  FAnswerLines = int(lines.size());
  FLinesTaken = 0;
  if (lines.empty()) return result;
  try {
    FLinesTaken = FillTable(FDescription, lines, FTable, progress);
  } catch (const std::exception &e) {
    // Only a table file of another make (a field of an unexpected type)
    // gets here; its file is left alone.
    return TActionResult::Failure(OperationFailedMessage, e.what());
  }
  result = SaveTable(FDescription.Table, FTable);
  TableFilled(result.Ok);
  return result;
}

TActionResult TTableEditor::Program(TProgress &progress) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  if (FTable.State() != dsBrowse) FTable.Post();
  // The rows are taken by number without moving the table's current row,
  // so nothing the window does meanwhile can make the run skip a row.
  FTable.DisableControls();
  struct TRestore {
    TRecordSet &T;
    ~TRestore() {
      if (!T.IsEmpty()) T.First();
      T.EnableControls();
    }
  } restore{FTable};
  const int codField = FTable.FieldIndex("Cod");
  TActionResult result = SendRows(
      FContext, FTable.RecordCount(), progress,
      [this](TTARVO &link, int row) { return FDescription.Send(link, TRowValues(FTable, row)); },
      [this, codField](int row) { return codField < 0 ? std::to_string(row) : ValueToText(FTable.ValueAt(row, codField)); });
  if (!result.Ok) return result;
  return SaveTable(FDescription.Table, FTable);
}

TActionResult TTableEditor::Save() {
  if (FTable.State() != dsBrowse) FTable.Post();
  return SaveTable(FDescription.Table, FTable);
}

int TTableEditor::FindRow(int32_t cod) {
  if (!FTable.FindKey(cod)) return 0;
  return FTable.RecNo();
}

bool TTableEditor::CellReadOnly(int recNo, int column) const {
  return Busy() || TEditorLogic::CellReadOnly(recNo, column);
}

bool TTableEditor::AcceptsChar(int column, char c) const {
  const bool digit = c >= '0' && c <= '9';
  if (!FDescription.PaddedDigits.empty() && column == ColumnOf(FDescription.PaddedDigits)) return digit;
  // A whole-number cell takes what a whole number is written with.
  if (column >= 0 && column < int(GridColumns().size()))
    if (const int f = FTable.FieldIndex(GridColumns()[size_t(column)].Field);
        f >= 0 && FTable.FieldDefs()[size_t(f)].DataType == ftInteger)
      return digit || c == '-' || c == '+';
  return true;
}

std::string TTableEditor::SetCell(int recNo, int column, const std::string &text) {
  if (column < 0 || column >= int(GridColumns().size())) return "Coloana nu exista";
  const std::string &field = GridColumns()[size_t(column)].Field;
  if (CellReadOnly(recNo, column)) return "Coloana " + field + " nu poate fi modificata";
  std::string value = text;
  if (!FDescription.PaddedDigits.empty() && column == ColumnOf(FDescription.PaddedDigits)) {
    for (char c : value)
      if (!AcceptsChar(column, c)) return "Coloana " + field + " primeste doar cifre";
    value = PadLeft(value, FDescription.PadWidth, '0');
  }
  if (const int f = FTable.FieldIndex(field); f >= 0) {
    const TFieldDef &def = FTable.FieldDefs()[size_t(f)];
    if (def.DataType == ftString && int(value.size()) > def.Size)
      return "Coloana " + field + " primeste cel mult " + std::to_string(def.Size) + " caractere";
  }
  return TEditorLogic::SetCell(recNo, column, value);
}
