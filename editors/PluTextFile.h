// The PLU text file: one PLU a line, eight fields joined by ";" (the 14-digit
// code, name, additional name, department, unit, price 1, price 2, linked
// PLU), each as the grid shows it, lines ending in CR LF, no header. Nothing
// is escaped, so a ";" inside a name splits that line differently when it is
// read back; that is the file's format, shared with the shops' own tools.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "RecordSet.h"

// The lines of every row, in Cod order, whatever their flags.
std::vector<std::string> PluTextLines(const TRecordSet &plu);

// Takes the lines of a text file into the table: a line with fewer than 8
// fields or a code outside 1..14 digits is skipped; a code already in the
// table changes its first row, any other is appended (with the new-row
// defaults the table's OnNewRecord fills). Prices are stored with the two
// decimals they are sent with, the linked PLU as the whole code it is sent
// as. Both flags end cleared. Lines end at CR LF, LF or a lone CR. Returns
// the number of lines taken.
int ImportPluText(TRecordSet &plu, std::string_view bytes);

// Reads a whole file; false with the OS's reason when it cannot.
bool ReadWholeFile(const std::string &path, std::string &bytes, std::string &reason);
