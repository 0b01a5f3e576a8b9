#include "TableText.h"

#include <variant>

#include "CodePage.h"
#include "RecordSet.h"
#include "ValueText.h"

std::vector<std::string> RowText(const TRecordSet &table, int recNo) {
  const auto &fields = table.FieldDefs();
  std::vector<std::string> out(fields.size());
  for (size_t f = 0; f < fields.size(); ++f) {
    const TFieldValue v = table.ValueAt(recNo, int(f));
    if (std::holds_alternative<std::monostate>(v)) continue;
    const std::string text = ValueToText(v);
    out[f] = fields[f].DataType == ftString ? ToUtf8(text) : text;
  }
  return out;
}

TTableText TableText(const TRecordSet &table) {
  TTableText out;
  for (const TFieldDef &f : table.FieldDefs()) out.Fields.push_back(f.Name);
  const int count = table.RecordCount();
  out.Rows.reserve(size_t(count));
  for (int r = 1; r <= count; ++r) out.Rows.push_back(RowText(table, r));
  return out;
}
