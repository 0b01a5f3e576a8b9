// Feeds arbitrary answer lines (one per '\n') to the filling of every
// editor's table, as a register with a damaged or unexpected answer would.
// Beyond a crash or a sanitizer report, a finding is: a row lost or added
// for nothing, a code that exists twice, a line with the right field count
// whose code is not in the table afterwards, a text longer than its field.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "FieldText.h"
#include "RecordSet.h"
#include "TableDescription.h"
#include "TableFill.h"
#include "ValueText.h"

namespace {

TRecordSet DefaultTable(TTableId id) {
  TRecordSet t = NewTable(id);
  for (int32_t cod : DefaultCodes(id)) {
    t.Append();
    FillDefaultRow(id, cod, t);
    t.Post();
  }
  return t;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  TLineList lines;
  SplitText(std::string(reinterpret_cast<const char *>(data), size), '\n', lines);
  for (TTableId id : {tiDepartamente, tiTVA, tiCasieri, tiCurs, tiFormePlata, tiSP, tiSO}) {
    const TTableDescription &d = *DescriptionOf(id);
    TRecordSet t = DefaultTable(id);
    const int before = t.RecordCount();
    TProgress progress;
    const int taken = FillTable(d, lines, t, progress);

    const std::vector<int32_t> defaults = DefaultCodes(id);
    std::set<int32_t> expected(defaults.begin(), defaults.end());
    int counted = 0;
    TLineList fields;
    for (const std::string &line : lines) {
      fields.clear();
      SplitText(line, ';', fields);
      if (fields.size() != d.FieldCount) continue;
      ++counted;
      expected.insert(WholeOr(fields[1], 0));
    }
    Check(taken == counted);
    Check(t.RecordCount() >= before && size_t(t.RecordCount()) == expected.size());
    Check(t.State() == dsBrowse && !t.ControlsDisabled());
    std::set<int32_t> codes;
    const int cod = t.FieldIndex("Cod");
    for (int r = 1; r <= t.RecordCount(); ++r) {
      Check(codes.insert(ValueToInteger(t.ValueAt(r, cod), "Cod")).second);
      for (int f = 0; f < t.FieldCount(); ++f) {
        const TFieldDef &def = t.FieldDefs()[size_t(f)];
        if (def.DataType == ftString) Check(ValueToText(t.ValueAt(r, f)).size() <= size_t(def.Size));
      }
    }
    Check(codes == expected);
  }
  return 0;
}
