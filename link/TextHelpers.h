// Text helpers every reader of register lines uses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// An ordered list of 8-bit text lines (answers, report texts, command files).
using TLineList = std::vector<std::string>;

// Appends the fields of text split at separator. An empty text adds nothing;
// otherwise every separator ends a field, so "a;b;" gives a, b and "" and a
// lone ";" gives two empty fields. Quotes mean nothing here: callers strip
// them from the name fields. The list is not cleared first.
void SplitText(const std::string &text, char separator, TLineList &lines);

// The lines of a text file: a line ends at CR LF, a lone LF or a lone CR; the
// last line needs no end. An empty file has no lines; "\r\n" has one, empty.
TLineList SplitTextLines(std::string_view bytes);

// The bytes as two-digit upper-case hex numbers separated by blanks, as
// traces show them: "10 02 06".
std::string HexBytes(std::string_view bytes);

// Puts ch in front of text until it is width bytes long; longer texts are
// returned unchanged.
std::string PadLeft(const std::string &text, int width, char ch);

// Rounds half away from zero after nudging x by 1e-10 away from zero, so a
// value that should have been an exact half but came out a hair below still
// rounds up: 2.5 -> 3, -2.5 -> -3, 2.4 -> 2.
double RoundHalfAway(double x);
