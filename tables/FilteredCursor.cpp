// The second cursor: the rows of a record set that pass "FIELD op NUMBER".
//
// The matching rows are held as runs of positions in index order. A filter
// on the index field itself (the PLU editor's "COD <= 10000") matches one or
// two runs that binary search finds, so resyncing after every appended row
// stays cheap even on a 100,000-row table; other fields are scanned.

#include <algorithm>
#include <utility>

#include "RecordSet.h"
#include "RecordSetData.h"
#include "ValueText.h"

namespace {

enum TFilterOp { foEq, foNe, foLt, foLe, foGt, foGe };

struct TRun {
  int Begin, End;  // positions in TData::Rows, End exclusive
};

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

bool Passes(double v, TFilterOp op, double n) {
  switch (op) {
    case foEq: return v == n;
    case foNe: return v != n;
    case foLt: return v < n;
    case foLe: return v <= n;
    case foGt: return v > n;
    case foGe: return v >= n;
  }
  return false;
}

}  // namespace

struct TFilteredCursor::Impl {
  std::shared_ptr<TRecordSet::TData> Data;
  int Field = -1;
  TFilterOp Op = foEq;
  double Number = 0;

  uint64_t SyncedVersion = ~uint64_t(0);
  std::vector<TRun> Runs;
  int Count = 0;
  int Pos = 0;  // 0..Count-1
  bool Eof = true, Bof = true;

  void Parse(std::string_view filter, const TRecordSet &set);
  void Sync();
  int RowAt(int k) const;  // position in Data->Rows of match number k
  const TRecordSet::TRow *Current();
};

void TFilteredCursor::Impl::Parse(std::string_view filter, const TRecordSet &set) {
  auto bad = [&](const std::string &why) -> void {
    throw ERecordSet("Filtru gresit \"" + std::string(filter) + "\": " + why);
  };
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < filter.size() && (filter[i] == ' ' || filter[i] == '\t')) ++i;
  };
  skipBlanks();
  const size_t nameStart = i;
  if (i >= filter.size() || !IsIdentStart(filter[i])) bad("lipseste numele campului");
  while (i < filter.size() && IsIdentChar(filter[i])) ++i;
  const std::string_view name = filter.substr(nameStart, i - nameStart);
  skipBlanks();
  auto take = [&](std::string_view tok) {
    if (filter.substr(i, tok.size()) != tok) return false;
    i += tok.size();
    return true;
  };
  if (take("<=")) Op = foLe;
  else if (take(">=")) Op = foGe;
  else if (take("<>")) Op = foNe;
  else if (take("<")) Op = foLt;
  else if (take(">")) Op = foGt;
  else if (take("=")) Op = foEq;
  else bad("lipseste comparatia (= <> < <= > >=)");
  const std::string_view rest = filter.substr(i);
  // Only "." is a decimal point here: "," would read as a list in a filter.
  if (rest.find(',') != std::string_view::npos || !ParseFloatText(rest, Number))
    bad("dupa comparatie trebuie sa urmeze un numar");
  Field = set.FieldIndex(name);
  if (Field < 0) bad("campul " + std::string(name) + " nu exista in tabel");
  if (set.FieldDefs()[Field].DataType == ftString) bad("campul " + std::string(name) + " nu este numeric");
}

void TFilteredCursor::Impl::Sync() {
  const TRecordSet::TData &d = *Data;
  if (SyncedVersion == d.Version) return;
  SyncedVersion = d.Version;
  Runs.clear();
  const int n = int(d.Rows.size());
  if (Field == d.CodField) {
    // Index order: empty codes first, then ascending numbers.
    auto keyOf = [&d](const TRecordSet::TRow &r) { return d.Key(r); };
    auto lower = [&](std::pair<bool, double> k) {
      return int(std::lower_bound(d.Rows.begin(), d.Rows.end(), k,
                                  [&](const TRecordSet::TRow &r, const std::pair<bool, double> &x) {
                                    return keyOf(r) < x;
                                  }) - d.Rows.begin());
    };
    auto upper = [&](std::pair<bool, double> k) {
      return int(std::upper_bound(d.Rows.begin(), d.Rows.end(), k,
                                  [&](const std::pair<bool, double> &x, const TRecordSet::TRow &r) {
                                    return x < keyOf(r);
                                  }) - d.Rows.begin());
    };
    const int firstValue = upper({false, 0.0});
    const int lo = lower({true, Number}), hi = upper({true, Number});
    auto add = [&](int b, int e) {
      if (b < e) Runs.push_back({b, e});
    };
    switch (Op) {
      case foEq: add(lo, hi); break;
      case foNe: add(firstValue, lo); add(hi, n); break;
      case foLt: add(firstValue, lo); break;
      case foLe: add(firstValue, hi); break;
      case foGt: add(hi, n); break;
      case foGe: add(lo, n); break;
    }
  } else {
    for (int k = 0; k < n; ++k) {
      const TRecordSet::TRow &r = d.Rows[k];
      if (!d.IsSet(r, Field) || !Passes(d.CellNumber(r, Field), Op, Number)) continue;
      if (!Runs.empty() && Runs.back().End == k) Runs.back().End = k + 1;
      else Runs.push_back({k, k + 1});
    }
  }
  Count = 0;
  for (const TRun &run : Runs) Count += run.End - run.Begin;
  // The set changed under the cursor: keep the position number, within range.
  if (Count == 0) {
    Pos = 0;
    Eof = Bof = true;
  } else if (Pos >= Count) {
    Pos = Count - 1;
  }
}

int TFilteredCursor::Impl::RowAt(int k) const {
  for (const TRun &run : Runs) {
    if (k < run.End - run.Begin) return run.Begin + k;
    k -= run.End - run.Begin;
  }
  return -1;
}

const TRecordSet::TRow *TFilteredCursor::Impl::Current() {
  Sync();
  if (Count == 0) return nullptr;
  return &Data->Rows[RowAt(Pos)];
}

TFilteredCursor::TFilteredCursor(const TRecordSet &set, std::string_view filter)
    : FImpl(std::make_unique<Impl>()) {
  FImpl->Data = set.FData;
  FImpl->Parse(filter, set);
  FImpl->Sync();
  FImpl->Bof = true;
  FImpl->Eof = FImpl->Count == 0;
}

TFilteredCursor::~TFilteredCursor() = default;

int TFilteredCursor::RecordCount() const {
  FImpl->Sync();
  return FImpl->Count;
}

void TFilteredCursor::First() {
  FImpl->Sync();
  FImpl->Pos = 0;
  FImpl->Bof = true;
  FImpl->Eof = FImpl->Count == 0;
}

void TFilteredCursor::Last() {
  FImpl->Sync();
  FImpl->Pos = FImpl->Count > 0 ? FImpl->Count - 1 : 0;
  FImpl->Eof = true;
  FImpl->Bof = FImpl->Count == 0;
}

void TFilteredCursor::Next() {
  FImpl->Sync();
  if (FImpl->Pos + 1 < FImpl->Count) {
    ++FImpl->Pos;
    FImpl->Bof = FImpl->Eof = false;
  } else {
    FImpl->Eof = true;
  }
}

void TFilteredCursor::Prior() {
  FImpl->Sync();
  if (FImpl->Pos > 0) {
    --FImpl->Pos;
    FImpl->Bof = FImpl->Eof = false;
  } else {
    FImpl->Bof = true;
  }
}

bool TFilteredCursor::Eof() const {
  FImpl->Sync();
  return FImpl->Count == 0 || FImpl->Eof;
}

bool TFilteredCursor::Bof() const {
  FImpl->Sync();
  return FImpl->Count == 0 || FImpl->Bof;
}

TFieldValue TFilteredCursor::Value(std::string_view field) const {
  const int f = FImpl->Data->IndexOfField(field);
  if (f < 0) throw ERecordSet("Campul " + std::string(field) + " nu exista in tabel");
  const TRecordSet::TRow *r = FImpl->Current();
  return r ? FImpl->Data->CellValue(*r, f) : TFieldValue{};
}

bool TFilteredCursor::IsNull(std::string_view field) const {
  return std::holds_alternative<std::monostate>(Value(field));
}
int32_t TFilteredCursor::AsInteger(std::string_view field) const {
  return ValueToInteger(Value(field), std::string(field));
}
double TFilteredCursor::AsFloat(std::string_view field) const {
  return ValueToFloat(Value(field), std::string(field));
}
bool TFilteredCursor::AsBoolean(std::string_view field) const {
  return ValueToBoolean(Value(field), std::string(field));
}
std::string TFilteredCursor::AsString(std::string_view field) const { return ValueToText(Value(field)); }
