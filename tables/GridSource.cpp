#include "GridSource.h"

#include <algorithm>

#include "ValueText.h"

bool TGridSource::CellReadOnly(int, int column) const {
  const auto &cols = GridColumns();
  return column < 0 || column >= int(cols.size()) || cols[size_t(column)].ReadOnly;
}

bool TGridSource::AcceptsChar(int, char) const { return true; }

int32_t TGridSource::RowColour(int) const { return -1; }

std::string TGridSource::SetCell(int recNo, int column, const std::string &text) {
  if (CellReadOnly(recNo, column)) return "Coloana " + GridColumns()[size_t(column)].Field + " nu poate fi modificata";
  for (char c : text)
    if (!AcceptsChar(column, c)) return "Caracter nepermis in coloana " + GridColumns()[size_t(column)].Field;
  TRecordSet &t = GridTable();
  const std::string &field = GridColumns()[size_t(column)].Field;
  if (const int f = t.FieldIndex(field); f >= 0) {
    const TFieldDef &def = t.FieldDefs()[size_t(f)];
    if (def.DataType == ftString && int(text.size()) > def.Size)
      return "Coloana " + field + " primeste cel mult " + std::to_string(def.Size) + " caractere";
  }
  try {
    if (t.RecNo() != recNo) t.SetRecNo(recNo);
    const int f = t.FieldNo(field);
    if (text.empty())
      t.Clear(f);
    else
      t.SetString(f, text);
    t.Post();
  } catch (const ERecordSet &e) {
    t.Cancel();
    return e.what();
  }
  return {};
}

std::vector<std::string> TGridSource::PickItems(int recNo, int column) {
  std::vector<std::string> items = GridColumns()[size_t(column)].PickList;
  const std::string held = CellText(recNo, column);
  if (std::find(items.begin(), items.end(), held) == items.end()) items.insert(items.begin(), held);
  return items;
}

int TGridSource::ColumnOf(const std::string &field) const {
  const auto &cols = GridColumns();
  for (size_t c = 0; c < cols.size(); ++c) {
    const std::string &name = cols[c].Field;
    if (name.size() != field.size()) continue;
    bool same = true;
    for (size_t i = 0; i < name.size() && same; ++i) same = AsciiLower(name[i]) == AsciiLower(field[i]);
    if (same) return int(c);
  }
  return -1;
}

std::string TGridSource::CellText(int recNo, int column) {
  TRecordSet &t = GridTable();
  if (recNo < 1 || recNo > t.RecordCount()) return {};
  const int f = t.FieldIndex(GridColumns()[size_t(column)].Field);
  if (f < 0) return {};
  return ValueToText(t.ValueAt(recNo, f));
}
