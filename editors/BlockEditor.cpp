#include "BlockEditor.h"

#include <sys/stat.h>

#include "ProjectTables.h"
#include "ValueText.h"

namespace {

std::vector<TFieldDef> ManualFields() {
  return {{"Rand", ftInteger, 0}, {"Coloana", ftInteger, 0}, {"Denumire", ftString, 100}, {"Valoare", ftInteger, 0}};
}

enum { ManRand, ManColoana, ManDenumire, ManValoare };
enum { ColDenumire, ColValoare };

bool FileExists(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// The position a field name of the block table stands for ("P21" -> 21),
// 0 for Cod or anything else.
int PositionOf(const std::string &field) {
  if (field.size() < 2 || (field[0] != 'P' && field[0] != 'p')) return 0;
  int32_t n = 0;
  if (!ParseIntegerText(std::string_view(field).substr(1), n) || n < 1 || n > 32) return 0;
  return int(n);
}

// Typed text as a whole number: empty reads as 0, as an empty value does.
bool WholeValue(const std::string &text, int32_t &out) {
  if (text.empty()) {
    out = 0;
    return true;
  }
  for (char c : text)
    if (c == '.' || c == ',') return false;
  return ParseIntegerText(text, out);
}

}  // namespace

TBlockEditor::TBlockEditor(TProjectContext context, const TBlockDescription &description)
    : TTableEditor(std::move(context), description.Blocks), FBlocks(description), FManual(ManualFields()) {
  FProgramAllowed = FileExists(ProjectTablePath(FContext.Dir, FDescription.Table));
  TGridColumn text;
  text.Field = "Denumire";
  text.Title = "Semnificatie parametru";
  text.ReadOnly = true;
  text.Width = description.DescriptionWidth;
  TGridColumn value;
  value.Field = "Valoare";
  value.Title = "Valoare";
  value.Width = description.ValueWidth;
  value.Align = TGridColumn::alRight;
  FColumns = {text, value};
  RebuildManual();
}

const char *TBlockEditor::Described(int32_t block, int position) const {
  for (const TPositionDescription &p : FBlocks.Positions)
    if (p.Block == block && p.Position == position) return p.Text;
  return nullptr;
}

void TBlockEditor::RebuildManual() {
  // The list is rebuilt with its notifications off, so that filling it is
  // never taken for the user's editing.
  FManual.DisableControls();
  FManual.EmptyTable();
  const int cod = FTable.FieldIndex("Cod");
  std::vector<int> positions(33, -1);
  for (int p = 1; p <= 32; ++p) positions[size_t(p)] = FTable.FieldIndex("P" + std::to_string(p));
  for (int r = 1; cod >= 0 && r <= FTable.RecordCount(); ++r) {
    const TRowValues row(FTable, r);
    const int32_t block = row.Int("Cod");
    for (int p = 1; p <= 32; ++p) {
      const char *text = Described(block, p);
      if (!text || positions[size_t(p)] < 0) continue;
      FManual.Append();
      FManual.SetInteger(ManRand, block);
      FManual.SetInteger(ManColoana, p);
      FManual.SetString(ManDenumire, text);
      FManual.SetInteger(ManValoare, row.Int("P" + std::to_string(p)));
      FManual.Post();
    }
  }
  if (!FManual.IsEmpty()) FManual.First();
  FManual.EnableControls();
}

void TBlockEditor::TableFilled(bool saved) {
  RebuildManual();
  if (saved) FProgramAllowed = true;
}

TActionResult TBlockEditor::Program(TProgress &progress) {
  if (!FProgramAllowed) return TActionResult::Failure(ReadBlocksFirstMessage);
  return TTableEditor::Program(progress);
}

TActionResult TBlockEditor::ProgramChanges(TProgress &progress) {
  if (!FProgramAllowed) return TActionResult::Failure(ReadBlocksFirstMessage);
  return TTableEditor::ProgramChanges(progress);
}

int32_t TBlockEditor::RowColour(int recNo) const {
  if (FVerify.MarkedCodes.empty() || recNo < 1 || recNo > FManual.RecordCount()) return -1;
  const TRowValues row(FManual, recNo);
  const int32_t block = row.Int("Rand");
  if (!VerifyMarked(block)) return -1;
  // A block only on one side, or repeated, is marked whole; otherwise only
  // the positions that differ.
  const TDifference *d = FVerify.FieldsOf(block);
  if (!d) return VerifyMarkColour;
  const std::string field = "P" + std::to_string(row.Int("Coloana"));
  for (const TFieldDifference &f : d->Fields)
    if (f.Field == field) return VerifyMarkColour;
  return -1;
}

bool TBlockEditor::AcceptsChar(int column, char c) const {
  // A decimal separator reaches the cell, to be refused with the value.
  return column != ColValoare || (c >= '0' && c <= '9') || c == '-' || c == '+' || c == ',' || c == '.';
}

std::string TBlockEditor::SetCell(int recNo, int column, const std::string &text) {
  if (Busy()) return "Tabelul nu poate fi modificat in timpul unei operatii cu casa de marcat";
  if (column != ColValoare) return "Coloana Denumire nu poate fi modificata";
  if (recNo < 1 || recNo > FManual.RecordCount()) return "Randul " + std::to_string(recNo) + " nu exista";
  int32_t value = 0;
  if (!WholeValue(text, value)) return "'" + text + "' nu este un numar intreg";
  const int32_t block = ValueToInteger(FManual.ValueAt(recNo, ManRand), "Rand");
  const int position = int(ValueToInteger(FManual.ValueAt(recNo, ManColoana), "Coloana"));
  try {
    FManual.SetRecNo(recNo);
    FManual.SetInteger(ManValoare, value);
    FManual.Post();
    // A list row whose block has gone changes nothing else.
    if (FTable.FindKey(block)) {
      FTable.SetInteger("P" + std::to_string(position), value);
      FTable.Post();
    }
  } catch (const ERecordSet &e) {
    FManual.Cancel();
    FTable.Cancel();
    return e.what();
  }
  return {};
}

std::string TBlockEditor::SetPosition(int32_t block, int position, const std::string &value) {
  if (!Described(block, position))
    return "Pozitia P" + std::to_string(position) + " a blocului " + std::to_string(block) +
           " nu are descriere si nu poate fi modificata";
  if (const int r = ExactListRow(block, position)) return SetCell(r, ColValoare, value);
  return "Blocul " + std::to_string(block) + " nu exista in tabel";
}

int TBlockEditor::ExactListRow(int32_t block, int position) const {
  for (int r = 1; r <= FManual.RecordCount(); ++r)
    if (ValueToInteger(FManual.ValueAt(r, ManRand), "Rand") == block &&
        ValueToInteger(FManual.ValueAt(r, ManColoana), "Coloana") == position)
      return r;
  return 0;
}

std::string TBlockEditor::PositionTitle(int64_t block, const std::string &field) const {
  const char *text = block >= INT32_MIN && block <= INT32_MAX ? Described(int32_t(block), PositionOf(field)) : nullptr;
  return text ? field + " " + text : field;
}

int TBlockEditor::ListRowOf(int64_t block, const std::string &field) const {
  if (block < INT32_MIN || block > INT32_MAX) return 0;
  if (const int exact = ExactListRow(int32_t(block), PositionOf(field))) return exact;
  for (int r = 1; r <= FManual.RecordCount(); ++r)
    if (ValueToInteger(FManual.ValueAt(r, ManRand), "Rand") == block) return r;
  return 0;
}

bool TBlockEditor::TBlockGrid::CellReadOnly(int recNo, int column) const {
  if (FOwner.Busy() || column < 1 || recNo < 1 || recNo > FOwner.FTable.RecordCount()) return true;
  const int32_t block = TRowValues(FOwner.FTable, recNo).Int("Cod");
  return !FOwner.Described(block, PositionOf(FOwner.FDescription.Columns[size_t(column)].Field));
}

std::string TBlockEditor::TBlockGrid::SetCell(int recNo, int column, const std::string &text) {
  if (CellReadOnly(recNo, column)) return "Pozitia nu poate fi modificata";
  const int32_t block = TRowValues(FOwner.FTable, recNo).Int("Cod");
  return FOwner.SetPosition(block, PositionOf(FOwner.FDescription.Columns[size_t(column)].Field), text);
}
