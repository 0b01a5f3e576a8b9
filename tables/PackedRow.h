// A record set's row, packed into one allocation, and the layout that says
// where each field of a row lives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FieldTypes.h"

// Numbers of all three numeric types share one 8-byte slot: integers and
// booleans in I, floats in F.
union TNum {
  int64_t I = 0;
  double F;
};

// One row, packed into a single allocation so a 100,000-row PLU table costs
// about two hundred bytes a row. Layout (TData computes the offsets):
//   empty bits, one per field | 8-byte numbers, one per numeric field |
//   4-byte end offsets, one per text field | the text bytes, back to back.
struct TPackedRow {
  std::string B;
};

// Where each field lives in the rows of one list of fields, and the
// reading and writing of single cells.
struct TRowLayout {
  // Throws ERecordSet for an empty or repeated name (letter case ignored),
  // a text size outside 1..MaxStringFieldSize or an unknown type.
  explicit TRowLayout(std::vector<TFieldDef> fields);

  std::vector<TFieldDef> Fields;
  std::vector<int> Slot;  // a field's place among the numbers or the texts
  int NumCount = 0;
  int TextCount = 0;
  size_t NumAt = 0, EndsAt = 0, TextAt = 0;

  int IndexOfField(std::string_view name) const;
  TPackedRow EmptyRow() const;

  bool IsSet(const TPackedRow &r, int f) const { return (uint8_t(r.B[size_t(f) >> 3]) >> (f & 7)) & 1; }
  void MarkSet(TPackedRow &r, int f, bool set) const {
    char &c = r.B[size_t(f) >> 3];
    c = set ? char(c | (1 << (f & 7))) : char(c & ~(1 << (f & 7)));
  }
  TNum Num(const TPackedRow &r, int slot) const {
    TNum n;
    std::memcpy(&n, r.B.data() + NumAt + 8 * size_t(slot), 8);
    return n;
  }
  void PutNum(TPackedRow &r, int slot, TNum n) const { std::memcpy(r.B.data() + NumAt + 8 * size_t(slot), &n, 8); }
  std::string_view Text(const TPackedRow &r, int slot) const {
    const uint32_t b = slot == 0 ? 0 : TextEnd(r, slot - 1), e = TextEnd(r, slot);
    return std::string_view(r.B).substr(TextAt + b, e - b);
  }
  void PutText(TPackedRow &r, int slot, std::string_view t) const;
  uint32_t TextEnd(const TPackedRow &r, int slot) const {
    uint32_t e;
    std::memcpy(&e, r.B.data() + EndsAt + 4 * size_t(slot), 4);
    return e;
  }
  TFieldValue CellValue(const TPackedRow &r, int f) const;
  double CellNumber(const TPackedRow &r, int f) const;  // a numeric, non-empty field
  // Converts v to the field's type and stores it; texts are cut at the size.
  void StoreCell(TPackedRow &r, int f, const TFieldValue &v) const;
};
