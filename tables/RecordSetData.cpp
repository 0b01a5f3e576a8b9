#include "RecordSetData.h"

#include <algorithm>

TRecordSetData::TRecordSetData(std::vector<TFieldDef> fields) : TRowLayout(std::move(fields)) {
  int cod = IndexOfField("Cod");
  // Only a numeric Cod can order the rows; a text Cod from a foreign file
  // leaves the set unordered rather than sorting by something arbitrary.
  if (cod >= 0 && Fields[cod].DataType != ftString) CodField = cod;
}

std::pair<bool, double> TRecordSetData::Key(const TPackedRow &r) const {
  if (CodField < 0 || !IsSet(r, CodField)) return {false, 0.0};
  return {true, CellNumber(r, CodField)};
}

bool TRecordSetData::KeyLess(const TPackedRow &a, const TPackedRow &b) const {
  return Key(a) < Key(b);
}

size_t TRecordSetData::UpperBound(const TPackedRow &r) const {
  if (CodField < 0) return Rows.size();
  const auto k = Key(r);
  return size_t(std::upper_bound(Rows.begin(), Rows.end(), k,
                                 [this](const std::pair<bool, double> &key, const TPackedRow &x) {
                                   return key < Key(x);
                                 }) - Rows.begin());
}

void TRecordSetData::AssignRows(std::vector<TPackedRow> rows) {
  if (CodField >= 0) {
    auto less = [this](const TPackedRow &a, const TPackedRow &b) { return KeyLess(a, b); };
    if (!std::is_sorted(rows.begin(), rows.end(), less)) std::stable_sort(rows.begin(), rows.end(), less);
  }
  Rows.Assign(std::move(rows));
  State = dsBrowse;
  Pending = TPackedRow{};
  Pos = 0;
  Eof = Bof = true;
  ++Version;
}
