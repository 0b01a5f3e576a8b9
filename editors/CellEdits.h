// FIELD=VALUE changes of one row through the editor's own rules, as the
// command line's `set` and the HTTP service's row changes make them: only
// the cells the grid takes typing in (a described position of a block for
// the parameter and option lists), each value checked as typing it would
// be. The first refusal ends the changes; saving is the caller's, so a
// refused change saves nothing.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TTableEditor;
class TPluLogic;

// Field names and values, values in the register's code page.
using TCellValues = std::vector<std::pair<std::string, std::string>>;

struct TCellRefusal {
  enum TKind {
    None,
    NoRow,         // no row (no block) has the code
    NotReadYet,    // a block table never read out of the register
    UnknownField,  // not a column that takes typing / not a block position
    Refused,       // the editor refused the value: Why says why
  };
  TKind Kind = None;
  std::string Field;
  std::string Why;  // in the register's code page
  explicit operator bool() const { return Kind != None; }
};

// The row of a table editor with code cod (for the block tables, block cod
// and fields P1..P32); recNo, when given, gets the row changed.
TCellRefusal SetTableCells(TTableEditor &editor, int32_t cod, const TCellValues &cells, int *recNo = nullptr);
// Row recNo of the PLU table ("Cod" is taken for CodAlfa); recNo follows the
// row when a new code moves it.
TCellRefusal SetPluCells(TPluLogic &logic, int &recNo, const TCellValues &cells);

// The columns a table's grid takes typing in, for a message.
std::string TypedColumns(const TTableEditor &editor);
inline constexpr const char *PluSettableFields =
    "CodAlfa, Nume, NumeAditional, CodDep, CodUM, Pret1, Pret2, LinkPLU, Cantar";
