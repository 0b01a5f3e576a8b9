// Turning the fields of register lines, command files and PLU text files
// into values, the same way everywhere: what does not convert falls back
// (a whole number to its default, a decimal number to 0), it never fails.
#pragma once

#include <cstdint>
#include <string>

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
