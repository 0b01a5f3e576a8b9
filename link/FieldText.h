// Turning the fields of register lines, command files and PLU text files
// into values, the same way everywhere: what does not convert falls back
// (a whole number to its default, a decimal number to 0), it never fails.
#pragma once

#include <cstdint>
#include <string>

#include "TextHelpers.h"

// A whole number of 32 bits (blanks around it and a sign allowed), else
// fallback.
int32_t WholeOr(const std::string &text, int32_t fallback);
// A whole number of up to 64 bits, else fallback.
int64_t Whole64Or(const std::string &text, int64_t fallback);
// A decimal number, "." or "," as separator (12.50 and 12,50 are 12.5),
// else 0.
double DecimalOrZero(const std::string &text);
// The text with every double-quote character removed.
std::string WithoutQuotes(const std::string &text);

// A PLU as a line carries it: the register's answer to "D10000" (46 fields)
// or a text line (the PLU text file, the online mode's WRITEPLU.TXT: code;
// name; additional name; department; unit; price 1; price 2; linked PLU,
// fields after the eighth ignored), converted as above with the quotes
// taken out of the names.
struct TPluFields {
  int64_t Code = 0;
  std::string Nume, NumeAditional;
  int32_t CodDep = 0, CodUM = 0;
  double Pret1 = 0, Pret2 = 0, LinkPLU = 0;
};
// False for a line of another field count (46 exactly; 8 or more).
bool PluOfAnswerFields(const TLineList &fields, TPluFields &out);
bool PluOfTextFields(const TLineList &fields, TPluFields &out);
