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
  TActionResult result =
      ReadAnswer(FContext, FDescription.ReadCommand, lines, nullptr, {}, &progress, FTable.RecordCount());
  if (!result.Ok) return result;
  FAnswerLines = int(lines.size());
  FLinesTaken = 0;
  FVerify = {};
  TRecordSet image(FTable.FieldDefs());
  try {
    // What the register holds is the answer's rows, not the table's.
    TProgress quiet;
    FillTable(FDescription, lines, image, quiet);
    if (!lines.empty()) FLinesTaken = FillTable(FDescription, lines, FTable, progress);
  } catch (const std::exception &e) {
    // Only a table file of another make (a field of an unexpected type)
    // gets here; its file is left alone.
    return TActionResult::Failure(OperationFailedMessage, e.what());
  }
  if (lines.empty()) return SaveRegisterImage(FContext.Dir, FDescription.Table, image);
  result = SaveWithImage(FDescription.Table, FTable, &image);
  TableFilled(result.Ok);
  return result;
}

TActionResult TTableEditor::Program(TProgress &progress) { return RunProgram(progress, false); }

TActionResult TTableEditor::ProgramChanges(TProgress &progress) { return RunProgram(progress, true); }

TActionResult TTableEditor::RunProgram(TProgress &progress, bool changesOnly) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  FRowsSent = 0;
  if (FTable.State() != dsBrowse) FTable.Post();
  TRegisterImage image = LoadRegisterImage(FContext.Dir, FDescription.Table, FTable.FieldDefs());
  if (changesOnly && !image.Known) return TActionResult::Failure(NoImageMessage, image.Problem);
  // The rows are taken by number without moving the table's current row,
  // so nothing the window does meanwhile can make the run skip a row.
  TTableWork work(FTable);
  const TRowRecord record = RowRecord();
  std::vector<int> rows;
  if (changesOnly) {
    rows = ChangedRows(FTable, image.Rows, record);
  } else {
    for (int r = 1; r <= FTable.RecordCount(); ++r) rows.push_back(r);
  }
  const int codField = FTable.FieldIndex("Cod");
  int acknowledged = 0;
  TActionResult result;
  // Nothing changed: nothing to say to the register either.
  if (!rows.empty())
    result = SendRows(
        FContext, rows, progress,
        [this](TTARVO &link, int row) { return FDescription.Send(link, TRowValues(FTable, row)); },
        [this, codField](int row) {
          return codField < 0 ? std::to_string(row) : ValueToText(FTable.ValueAt(row, codField));
        },
        &acknowledged);
  FRowsSent = acknowledged;
  // The image keeps every row the register took, also from a run that
  // stopped: the next changes run then sends exactly the rest.
  bool imageUntrue = false;
  for (int i = 0; i < acknowledged; ++i) {
    const int row = rows[size_t(i)];
    const int64_t code = record.Code(FTable, row);
    imageUntrue = imageUntrue || ImageDiffers(image.Rows, code, record.Text(FTable, row), record);
    PutImageRow(image.Rows, FTable, row, code);
  }
  const TRecordSet *newImage = acknowledged > 0 ? &image.Rows : nullptr;
  TActionResult saved;
  if (result.Ok) {
    FVerify = {};
    saved = SaveWithImage(FDescription.Table, FTable, newImage);
  } else if (newImage) {
    saved = SaveRegisterImage(FContext.Dir, FDescription.Table, *newImage);
  }
  // The files stay as they were; an image that no longer tells the truth
  // goes, so that no changes run leaves out a row on its word.
  if (!saved.Ok && imageUntrue) DropRegisterImage(FContext.Dir, FDescription.Table);
  return result.Ok ? saved : result;
}

TActionResult TTableEditor::Verify(TProgress &progress) {
  TBusy busy(*this);
  if (!busy.Acquired()) return BusyResult();
  FVerify = {};
  TLineList lines;
  const TActionResult result =
      ReadAnswer(FContext, FDescription.ReadCommand, lines, nullptr, {}, &progress, FTable.RecordCount());
  if (!result.Ok) return result;
  if (FTable.State() != dsBrowse) FTable.Post();
  TRecordSet registerRows(FTable.FieldDefs());
  try {
    FillTable(FDescription, lines, registerRows, progress, true);
  } catch (const std::exception &e) {
    return TActionResult::Failure(OperationFailedMessage, e.what());
  }
  const TRowRecord record = RowRecord();
  FVerify = CompareWithRegister(FTable, registerRows, CompareSpec());
  return SaveRegisterImage(FContext.Dir, FDescription.Table, LastRowPerCode(registerRows, record.Code));
}

TRowRecord TTableEditor::RowRecord() const {
  const TTableDescription *d = &FDescription;
  return {[](const TRecordSet &t, int r) { return int64_t(TRowValues(t, r).Int("Cod")); },
          [d](const TRecordSet &t, int r) { return d->RecordText(TRowValues(t, r)); }};
}

TCompareSpec TTableEditor::CompareSpec() const {
  TCompareSpec spec;
  spec.Code = RowRecord().Code;
  spec.CodeText = [](int64_t code) { return std::to_string(code); };
  for (const TLineField &lf : FDescription.Line) {
    if (lf.Position == 1 || !lf.Sent || FTable.FieldIndex(lf.Field) < 0) continue;
    const std::string field = lf.Field;
    if (field == "Nume") spec.Summary = [](const TRecordSet &t, int r) { return TRowValues(t, r).Text("Nume"); };
    if (lf.How == TLineValue::Whole)
      spec.Fields.push_back({field, [field](const TRecordSet &t, int r) { return std::to_string(TRowValues(t, r).Int(field)); }});
    else
      spec.Fields.push_back({field, [field](const TRecordSet &t, int r) { return TRowValues(t, r).Text(field); }});
  }
  return spec;
}

int32_t TTableEditor::RowColour(int recNo) const {
  if (FVerify.MarkedCodes.empty() || recNo < 1 || recNo > FTable.RecordCount()) return -1;
  return VerifyMarked(TRowValues(FTable, recNo).Int("Cod")) ? VerifyMarkColour : -1;
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
  // A whole-number cell takes what a number is written with. A decimal
  // separator reaches the cell, so that "4,97" is refused whole rather
  // than stored as 497.
  if (column >= 0 && column < int(GridColumns().size()))
    if (const int f = FTable.FieldIndex(GridColumns()[size_t(column)].Field);
        f >= 0 && FTable.FieldDefs()[size_t(f)].DataType == ftInteger)
      return digit || c == '-' || c == '+' || c == ',' || c == '.';
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
  return TEditorLogic::SetCell(recNo, column, value);
}
