#include "CellEdits.h"

#include "BlockEditor.h"
#include "PluLogic.h"
#include "ValueText.h"

namespace {

TCellRefusal Refusal(TCellRefusal::TKind kind, const std::string &field = {}, std::string why = {}) {
  TCellRefusal r;
  r.Kind = kind;
  r.Field = field;
  r.Why = std::move(why);
  return r;
}

// "P21" (or "p21"): position 21; 0 for anything else.
int BlockPosition(const std::string &field) {
  int32_t position = 0;
  if (field.size() < 2 || (field[0] != 'P' && field[0] != 'p') ||
      !ParseIntegerText(std::string_view(field).substr(1), position) || position < 1 || position > 32)
    return 0;
  return int(position);
}

}  // namespace

std::string TypedColumns(const TTableEditor &editor) {
  std::string list;
  for (const TGridColumn &c : editor.Description().Columns)
    if (!c.ReadOnly) list += (list.empty() ? "" : ", ") + c.Field;
  return list;
}

TCellRefusal SetTableCells(TTableEditor &editor, int32_t cod, const TCellValues &cells, int *recNo) {
  if (auto *blocks = dynamic_cast<TBlockEditor *>(&editor)) {
    // Saving would make the file that allows programming; without a read
    // first that would program blocks nobody read out of the register.
    if (!blocks->ProgramAllowed()) return Refusal(TCellRefusal::NotReadYet);
    const int row = editor.FindRow(cod);
    if (!row) return Refusal(TCellRefusal::NoRow);
    for (const auto &[field, value] : cells) {
      const int position = BlockPosition(field);
      if (!position) return Refusal(TCellRefusal::UnknownField, field);
      if (std::string why = blocks->SetPosition(cod, position, value); !why.empty())
        return Refusal(TCellRefusal::Refused, field, std::move(why));
    }
    if (recNo) *recNo = row;
    return {};
  }
  const int row = editor.FindRow(cod);
  if (!row) return Refusal(TCellRefusal::NoRow);
  for (const auto &[field, value] : cells) {
    const int column = editor.ColumnOf(field);
    if (column < 0) return Refusal(TCellRefusal::UnknownField, field);
    if (std::string why = editor.SetCell(row, column, value); !why.empty())
      return Refusal(TCellRefusal::Refused, field, std::move(why));
  }
  if (recNo) *recNo = editor.FindRow(cod);
  return {};
}

TCellRefusal SetPluCells(TPluLogic &logic, int &recNo, const TCellValues &cells) {
  TRecordSet &t = logic.GridTable();
  for (const auto &[field, value] : cells) {
    std::string why;
    if (EqualsNoCase(field, "NumeAditional")) {
      // Kept in the file and sent to the register, but not a grid column.
      t.SetRecNo(recNo);
      t.SetString("NumeAditional", value);
      t.Post();
    } else {
      // "Cod" is the code as the grid shows it, CodAlfa.
      const int column = logic.ColumnOf(EqualsNoCase(field, "Cod") ? "CodAlfa" : field);
      if (column < 0) return Refusal(TCellRefusal::UnknownField, field);
      why = logic.SetCell(recNo, column, value);
    }
    if (!why.empty()) return Refusal(TCellRefusal::Refused, field, std::move(why));
    recNo = t.RecNo();
  }
  return {};
}
