// What sets one register table's editor apart from another's: the table, the
// read command and the layout of its answer lines, the grid, and how a row
// becomes the record that programs it. The editor logic is written once over
// this; each table is a description, not a copy of the editor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "GridSource.h"
#include "Records.h"
#include "Schemas.h"

class TTARVO;

// How a field of an answer line becomes a value.
enum class TLineValue {
  Whole,  // a whole number; text that is not one gives the fallback
  Name,   // text with every double-quote character removed
  Text,   // text exactly as the register sent it
};

// Field `Position` of an answer line goes to the table field `Field`.
struct TLineField {
  int Position;
  std::string Field;
  TLineValue How = TLineValue::Whole;
  int32_t Fallback = 0;
  // False for a field the register reports but the record does not carry
  // (the VAT groups' O2): no programming run can change it, so comparing
  // it with the register would only show a difference nobody can remove.
  bool Sent = true;
};

// The values of one posted row, as a record takes them: an empty value, a
// field the table's file does not have, or a value that is not a number
// reads as 0 or "".
class TRowValues {
 public:
  TRowValues(const TRecordSet &table, int recNo) : FTable(table), FRecNo(recNo) {}
  int32_t Int(const std::string &field) const;
  std::string Text(const std::string &field) const;

 private:
  const TRecordSet &FTable;
  int FRecNo;
};

struct TTableDescription {
  TTableId Table;
  const char *ReadCommand;     // "D5000"
  size_t FieldCount;           // an answer line with any other count is skipped
  std::vector<TLineField> Line;  // position 1 is always Cod
  std::vector<TGridColumn> Columns;
  TRecordKind Kind;
  // Clears the record of Kind, fills it from the row and sends it.
  bool (*Send)(TTARVO &link, const TRowValues &row);
  // The text that record goes to the register as: two rows with the same
  // text program the register alike, whatever else their files hold.
  std::string (*RecordText)(const TRowValues &row);
  // A column that takes digits only and is completed on the left with "0"
  // to PadWidth characters when the user types it (the cashier password).
  std::string PaddedDigits;
  int PadWidth = 0;
};

// The five grid editors and the two block tables, by table.
const TTableDescription &DeptDescription();
const TTableDescription &TvaDescription();
const TTableDescription &CasieriDescription();
const TTableDescription &CursDescription();
const TTableDescription &FormePlataDescription();
const TTableDescription &SPDescription();
const TTableDescription &SODescription();
// The description of a table (tiPLU and tiSetari have none: null).
const TTableDescription *DescriptionOf(TTableId id);
