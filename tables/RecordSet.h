// TRecordSet: the in-memory table every editor works on.
//
// A record set is a list of rows over a fixed list of typed fields. When the
// set has a field named "Cod" (any letter case) the rows are kept in the
// ascending, non-unique index Cod: equal codes stay in the order they arrived
// (file order, then append order), and empty codes come first. A set without
// a Cod field (the serial settings) keeps append order.
//
// Values: every field may be empty (null). Reading an empty field gives 0,
// 0.0, false or "" so callers never have to test first; IsNull tells the
// difference when it matters. Texts are 8-bit bytes kept exactly (0x00 to
// 0xFF); a text longer than its field is cut at the field size, as the
// dataset the editors were designed around did, so a name never grows past
// what the register and the file declare.
//
// Editing follows the dataset model the editors are written in: Append starts
// a new row (OnNewRecord fills its defaults), Edit starts changing the current
// row, setters write into that pending row, Post stores it (moving it to its
// place in the index when Cod changed), Cancel drops it. A setter called
// while browsing starts Edit by itself; moving the current row and Append
// post a pending row first, Delete drops it (a pending Append is simply
// undone, a pending Edit is dropped with its row). Filtered cursors only
// ever see posted rows; saving writes a pending row as Post would store it,
// without posting.
//
// Row numbers (RecNo, SetRecNo, ValueAt) count from 1 in index order.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FieldTypes.h"

struct TPackedRow;
struct TRecordSetData;
class TFilteredCursor;

class TRecordSet {
 public:
  // An empty set with no fields.
  TRecordSet();
  // An empty set with these fields. Throws ERecordSet for an empty or
  // repeated name (letter case ignored) or a text size outside 1..MaxStringFieldSize.
  explicit TRecordSet(std::vector<TFieldDef> fields);
  // Copies hold the posted rows and the position, not the notifications.
  // Assignment replaces fields, rows and position and keeps this set's own
  // notifications. A moved-from set is empty with no fields.
  TRecordSet(const TRecordSet &other);
  TRecordSet &operator=(const TRecordSet &other);
  TRecordSet(TRecordSet &&) noexcept;
  TRecordSet &operator=(TRecordSet &&) noexcept;
  ~TRecordSet();

  // Fields
  const std::vector<TFieldDef> &FieldDefs() const;
  int FieldCount() const;
  // Index of a field by name, letter case ignored; -1 when there is none.
  int FieldIndex(std::string_view name) const;
  // As FieldIndex, but throws ERecordSet naming the field when there is none.
  int FieldNo(std::string_view name) const;
  bool HasField(std::string_view name) const { return FieldIndex(name) >= 0; }
  // True when the rows are ordered by the index Cod.
  bool Indexed() const;

  // Rows and the current row
  int RecordCount() const;  // posted rows
  bool IsEmpty() const { return RecordCount() == 0; }
  void First();
  void Last();   // also sets Eof, as a dataset does
  void Next();   // at the last row: stays there and sets Eof
  void Prior();  // at the first row: stays there and sets Bof
  bool Eof() const;
  bool Bof() const;
  int RecNo() const;             // 1..RecordCount; 0 when empty or appending
  void SetRecNo(int recNo);      // throws ERecordSet when out of range
  TDataSetState State() const;

  // Positions on the first row whose Cod equals cod; false (position kept)
  // when there is none or the set has no index.
  bool FindKey(double cod);
  // Positions on the first row, in index order, whose field equals value
  // (texts compared byte for byte, numbers by value); false when none.
  bool Locate(std::string_view field, const TFieldValue &value);

  // Editing
  void Append();   // new pending row, all fields empty, then OnNewRecord
  void Edit();     // pending copy of the current row; throws on an empty set
  void Post();     // stores the pending row; nothing to do while browsing
  void Cancel();   // drops the pending row
  void Delete();   // drops the current row (or the pending new row); the
                   // next row becomes current, after the last row Eof is set
  void EmptyTable();  // every row gone, fields kept

  // Values of the current row (the pending row while editing). Empty reads as
  // 0 / 0.0 / false / "". Conversions between types follow the dataset: a
  // float read as integer is rounded, numbers read as text are decimal text
  // with "," as decimal separator, booleans read as text are "True"/"False".
  bool IsNull(int field) const;
  int32_t AsInteger(int field) const;
  double AsFloat(int field) const;
  bool AsBoolean(int field) const;
  std::string AsString(int field) const;
  TFieldValue Value(int field) const;
  bool IsNull(std::string_view field) const { return IsNull(FieldNo(field)); }
  int32_t AsInteger(std::string_view field) const { return AsInteger(FieldNo(field)); }
  double AsFloat(std::string_view field) const { return AsFloat(FieldNo(field)); }
  bool AsBoolean(std::string_view field) const { return AsBoolean(FieldNo(field)); }
  std::string AsString(std::string_view field) const { return AsString(FieldNo(field)); }
  TFieldValue Value(std::string_view field) const { return Value(FieldNo(field)); }

  // Setters convert to the field's type (text to number accepts "." or ","
  // as decimal separator; a text that is not a number throws ERecordSet).
  void SetInteger(int field, int32_t v);
  void SetFloat(int field, double v);
  void SetBoolean(int field, bool v);
  void SetString(int field, std::string_view v);  // cut at the field size
  void SetValue(int field, const TFieldValue &v); // monostate empties
  void Clear(int field);
  void SetInteger(std::string_view field, int32_t v) { SetInteger(FieldNo(field), v); }
  void SetFloat(std::string_view field, double v) { SetFloat(FieldNo(field), v); }
  void SetBoolean(std::string_view field, bool v) { SetBoolean(FieldNo(field), v); }
  void SetString(std::string_view field, std::string_view v) { SetString(FieldNo(field), v); }
  void SetValue(std::string_view field, const TFieldValue &v) { SetValue(FieldNo(field), v); }
  void Clear(std::string_view field) { Clear(FieldNo(field)); }

  // Any posted row, without moving the current row (for grids).
  TFieldValue ValueAt(int recNo, int field) const;

  // Notifications. OnNewRecord runs inside Append and may use filtered
  // cursors (they see posted rows only). AfterScroll runs after the current
  // row changed: navigation, Append (after OnNewRecord), Cancel of an
  // Append, Delete. OnDataChange(set, field) runs after a field of the current
  // row changed (field >= 0) or after rows or position changed (-1); it is
  // held back while controls are disabled.
  std::function<void(TRecordSet &)> OnNewRecord;
  std::function<void(TRecordSet &)> AfterScroll;
  std::function<void(TRecordSet &, int field)> OnDataChange;
  // Nests; EnableControls at depth 0 sends one OnDataChange(-1).
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const;

  using TData = TRecordSetData;  // shared with the filtered cursors; see RecordSetData.h
  using TRow = TPackedRow;       // see PackedRow.h

 private:
  friend class TFilteredCursor;
  friend struct TRecordSetAccess;
  void Scrolled();
  void Changed(int field);
  const TRow *CurrentRow() const;
  void CheckField(int field) const;
  static bool CellEquals(const TData &d, const TRow &r, int f, const TFieldValue &value);

  std::shared_ptr<TData> FData;
};

// Whole-table load and save work on the rows directly: going through
// Append/SetValue/Post per cell would build a variant for every value.
struct TRecordSetAccess {
  static TRecordSetData &Data(TRecordSet &rs);
  static const TRecordSetData &Data(const TRecordSet &rs);
};

// A second, read-only cursor over the posted rows of a record set, in index
// order, restricted by a filter "FIELD op NUMBER" (op one of = <> < <= > >=,
// field name in any letter case, for example "COD <= 10000"). An empty field
// never passes. It follows later changes of the set: each call works on the
// rows as they are now. It keeps the set's rows alive, so it is safe whatever
// order the two are released in; a set assigned a whole new table afterwards
// needs a new cursor.
class TFilteredCursor {
 public:
  // Throws ERecordSet for a filter that cannot be read or names a text field
  // or a field the set does not have.
  TFilteredCursor(const TRecordSet &set, std::string_view filter);
  ~TFilteredCursor();
  TFilteredCursor(const TFilteredCursor &) = delete;
  TFilteredCursor &operator=(const TFilteredCursor &) = delete;

  int RecordCount() const;
  bool IsEmpty() const { return RecordCount() == 0; }
  void First();
  void Last();
  void Next();
  void Prior();
  bool Eof() const;
  bool Bof() const;

  bool IsNull(std::string_view field) const;
  int32_t AsInteger(std::string_view field) const;
  double AsFloat(std::string_view field) const;
  bool AsBoolean(std::string_view field) const;
  std::string AsString(std::string_view field) const;
  TFieldValue Value(std::string_view field) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};
