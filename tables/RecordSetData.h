// Inside of a record set, shared by TRecordSet and its filtered cursors.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "RecordSet.h"

// Numbers of all three numeric types share one 8-byte slot: integers and
// booleans in I, floats in F.
union TNum {
  int64_t I = 0;
  double F;
};

// One row. Numeric fields and text fields each have their own dense array
// (TData::Slot maps a field to its place), so a 100,000-row PLU table costs
// a few hundred bytes per row instead of a full variant per cell.
struct TRecordSet::TRow {
  std::vector<TNum> Num;
  std::vector<std::string> Text;
  std::vector<bool> Set;  // false: the field is empty
};

struct TRecordSet::TData {
  explicit TData(std::vector<TFieldDef> fields);

  std::vector<TFieldDef> Fields;
  std::vector<int> Slot;
  int NumCount = 0;
  int TextCount = 0;
  int CodField = -1;  // the index field; -1: rows in append order

  std::vector<TRow> Rows;  // posted rows, in index order
  uint64_t Version = 0;    // bumped whenever Rows change; cursors resync on it

  int Pos = 0;
  bool Eof = true;
  bool Bof = true;
  TDataSetState State = dsBrowse;
  TRow Pending;
  int ControlsOff = 0;

  int FieldIndex(std::string_view name) const;
  TRow EmptyRow() const;
  TFieldValue CellValue(const TRow &r, int f) const;
  double CellNumber(const TRow &r, int f) const;  // a numeric, non-empty field
  // Index key: empty codes sort before every number.
  std::pair<bool, double> Key(const TRow &r) const;
  bool KeyLess(const TRow &a, const TRow &b) const;
  size_t UpperBound(const TRow &r) const;
  // Puts rows loaded in file order into index order, equal codes kept in order.
  void SortRows();
  // Converts v to the field's type and stores it; texts are cut at the size.
  void StoreCell(TRow &r, int f, const TFieldValue &v) const;
};

// Whole-table load and save work on the rows directly: going through
// Append/SetValue/Post per cell would build a variant for every value.
struct TRecordSetAccess {
  static TRecordSet::TData &Data(TRecordSet &rs) { return *rs.FData; }
  static const TRecordSet::TData &Data(const TRecordSet &rs) { return *rs.FData; }
};
