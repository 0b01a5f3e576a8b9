// Conversions between field values, as a dataset's typed field accessors do
// them. Empty converts to 0, 0.0, false or "".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "FieldTypes.h"

inline char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
// Equal but for the case of ASCII letters (field names, file names).
bool EqualsNoCase(std::string_view a, std::string_view b);

// Decimal text of a float with "," as separator and up to 15 significant
// digits ("12,5", "99999999999999").
std::string FloatToText(double v);

// Whole or decimal number text, "." or "," as separator, blanks around it
// allowed. False for anything else, including infinities and NaN.
bool ParseFloatText(std::string_view text, double &out);
// Whole number text in the 32-bit range.
bool ParseIntegerText(std::string_view text, int32_t &out);

// These throw ERecordSet naming the field when the value does not convert
// (a text that is not a number, a float outside the 32-bit range).
int32_t ValueToInteger(const TFieldValue &v, const std::string &field);
double ValueToFloat(const TFieldValue &v, const std::string &field);
bool ValueToBoolean(const TFieldValue &v, const std::string &field);
std::string ValueToText(const TFieldValue &v);
bool TryValueToFloat(const TFieldValue &v, double &out);
