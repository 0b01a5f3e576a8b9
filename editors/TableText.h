// A table as `TABLE show` prints it and the HTTP service sends it: the field
// names, then every row in Cod order, each value as text (texts in UTF-8,
// floats with a decimal comma, empty values empty).
#pragma once

#include <string>
#include <vector>

class TRecordSet;

struct TTableText {
  std::vector<std::string> Fields;
  std::vector<std::vector<std::string>> Rows;
};

TTableText TableText(const TRecordSet &table);
// One row of it (recNo from 1, in Cod order).
std::vector<std::string> RowText(const TRecordSet &table, int recNo);
