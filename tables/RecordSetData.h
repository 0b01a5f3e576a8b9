// The inside of a record set, shared by TRecordSet and its filtered cursors:
// the layout of its rows, the posted rows in the order of the index Cod, and
// the current row and editing state.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "PackedRow.h"
#include "RowList.h"

struct TRecordSetData : TRowLayout {
  explicit TRecordSetData(std::vector<TFieldDef> fields);

  int CodField = -1;  // the index field; -1: rows in append order

  TRowList Rows;           // posted rows, in index order
  uint64_t Version = 0;    // bumped whenever Rows change; cursors resync on it

  int Pos = 0;
  bool Eof = true;
  bool Bof = true;
  TDataSetState State = dsBrowse;
  TPackedRow Pending;
  int ControlsOff = 0;

  // Index key: empty codes sort before every number.
  std::pair<bool, double> Key(const TPackedRow &r) const;
  bool KeyLess(const TPackedRow &a, const TPackedRow &b) const;
  size_t UpperBound(const TPackedRow &r) const;
  // Takes rows in file order and puts them in index order, equal codes kept
  // in order; the set is left browsing, before its first row.
  void AssignRows(std::vector<TPackedRow> rows);
};
