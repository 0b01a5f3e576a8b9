// What an editor grid shows of a table and how typing reaches it: the
// columns (titles, read-only cells, pick lists), the cells that take typing
// on a given row, row colours, and the rules a typed value goes through
// before it is stored. The editors' logic describes this once; the window's
// grid and the command line's `set` both go through it, so a rule holds
// whichever way a value comes in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "RecordSet.h"

struct TGridColumn {
  enum TAlign { alDefault, alLeft, alCenter, alRight };
  std::string Field;                  // the field shown
  std::string Title;                  // column title; the field's name when empty
  bool ReadOnly = false;              // no typing in this column
  std::vector<std::string> PickList;  // values the cell's drop-down offers
  TAlign Align = alDefault;
  int Width = 0;                      // pixels; 0 leaves it to the grid
  bool Ellipsis = false;              // the cell has a "..." button (no drop-down)
};

class TGridSource {
 public:
  virtual ~TGridSource() = default;

  virtual TRecordSet &GridTable() = 0;
  virtual const std::vector<TGridColumn> &GridColumns() const = 0;

  // True when the cell of row recNo (from 1, in Cod order) takes no typing.
  virtual bool CellReadOnly(int recNo, int column) const;
  // False for a character the column's typing filter discards.
  virtual bool AcceptsChar(int column, char c) const;
  // Stores text (in the register's code page) into a cell under the grid's
  // rules and posts the row. Returns "" when stored, else why not; the
  // table is then as it was. A text longer than its field is refused, never
  // cut.
  virtual std::string SetCell(int recNo, int column, const std::string &text);
  // The row's background as 0xRRGGBB, or -1 for the grid's own colours.
  virtual int32_t RowColour(int recNo) const;

  // What the drop-down of a pick-list cell offers: the column's pick list
  // and, first, the value the cell holds when the list lacks it (an empty
  // value, a code from the register), so that opening or leaving the cell
  // keeps it until the user picks another.
  std::vector<std::string> PickItems(int recNo, int column);

  // Column index of a field (letter case ignored), -1 when not shown.
  int ColumnOf(const std::string &field) const;
  // The text a cell shows (in the register's code page): decimal numbers
  // with ",", empty values empty.
  std::string CellText(int recNo, int column);
};
