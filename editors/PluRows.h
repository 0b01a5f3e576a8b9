// The PLU table's own rules, shared by the PLU editor, its text file and the
// command line: how a code is written, how a new row is numbered, how a PLU
// coming from the register or a text file lands in the table, and what a
// programming run sends for a row.
#pragma once

#include <cstdint>
#include <string>

#include "FieldText.h"
#include "RecordSet.h"
#include "Records.h"
#include "RegisterCompare.h"
#include "RegisterImage.h"
#include "TextHelpers.h"

// A PLU code has at most 14 digits; the register keeps no longer ones, and
// CodAlfa could not hold them.
constexpr int64_t MaxPluCode = 99999999999999;
// New rows are numbered after the highest code up to this one.
inline constexpr const char *ShortCodeFilter = "COD <= 10000";

// The code as the grid, the text file and the register's tables show it:
// 14 decimal digits with leading zeros.
std::string PluCodeText(int64_t code);

// Field numbers of the PLU table, looked up once.
struct TPluFieldNos {
  explicit TPluFieldNos(const TRecordSet &plu);
  int Cod, CodAlfa, Nume, NumeAditional, CodDep, CodUM, Pret1, Pret2, LinkPLU, Nou, Sters, Cantar;
};

// Fills the defaults of every row appended to the table, by the user or by
// code: the code after the highest one up to 10000 (found through a second
// cursor over the same rows), "PLU " and the code as the name, department 1,
// unit 1, no prices, no link, a blank scale mark, and the new-row flag.
// Attaches itself to the table's OnNewRecord for its lifetime.
class TPluNumbering {
 public:
  explicit TPluNumbering(TRecordSet &plu);
  ~TPluNumbering();
  TPluNumbering(const TPluNumbering &) = delete;
  TPluNumbering &operator=(const TPluNumbering &) = delete;

 private:
  void FillNewRow(TRecordSet &plu);

  TRecordSet &FTable;
  TPluFieldNos FNo;
  TFilteredCursor FShort;  // released before the table: declared after it by owners
};

// A price as the register gets it: two decimals, rounded half away from
// zero on its decimal value (1,234 -> 1,23; 2,675 -> 2,68).
double PriceAsSent(double price);

// One PLU as a register answer line or a text-file line gives it.

// A code a PLU can have: 1 to 14 digits' worth. Lines with other codes are
// skipped by the read and the import.
inline bool ValidPluCode(int64_t code) { return code > 0 && code <= MaxPluCode; }

// A register answer line ("D10000", 46 fields): false for a line of
// another field count or a code a PLU cannot have. fields is scratch space.
bool ParsePluLine(const std::string &line, TLineList &fields, TPluFields &out);

// Changes the first row with this code or appends one (the new-row defaults
// run, then Cod and CodAlfa are set), takes over the fields, clears both
// flags and stores the row. A scale mark stays as it was on a changed row.
void StorePlu(TRecordSet &plu, const TPluFieldNos &no, const TPluFields &f);
// The same as a row of its own, whether or not the code is there already.
void AppendPlu(TRecordSet &plu, const TPluFieldNos &no, const TPluFields &f);

// The record a programming run sends for row recNo, and for the current row:
// one reading of the cells, so the image compares what was sent.
TPluRec PluRecordAt(const TRecordSet &plu, const TPluFieldNos &no, int recNo);
inline TPluRec PluRecordOf(const TRecordSet &plu, const TPluFieldNos &no) {
  return PluRecordAt(plu, no, plu.RecNo());
}
// A flag cell of row recNo (Nou, Sters): true only when it holds true.
bool FlagAt(const TRecordSet &plu, int recNo, int field);

// The code of row recNo (the whole part of Cod).
int64_t PluCodeAt(const TRecordSet &plu, const TPluFieldNos &no, int recNo);
// A PLU row's code and record text, for the register's image.
TRowRecord PluRowRecord(const TPluFieldNos &no);
// The fields a verify compares: all the record sends, prices with the two
// decimals they go with and the linked PLU as the whole number it goes as.
// A row marked for deletion is one the register should no longer hold.
TCompareSpec PluCompareSpec(const TPluFieldNos &no);
