#include "RecordSet.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "RecordSetData.h"
#include "ValueText.h"

// ---------------------------------------------------------------- TRecordSet

TRecordSet::TRecordSet() : FData(std::make_shared<TRecordSetData>(std::vector<TFieldDef>{})) {}

TRecordSet::TRecordSet(std::vector<TFieldDef> fields)
    : FData(std::make_shared<TRecordSetData>(std::move(fields))) {}

// A copy is a plain table: the posted rows and fields, positioned where the
// original was. Notifications stay with the original, since they usually
// point at the window that owns it.
TRecordSet::TRecordSet(const TRecordSet &other)
    : FData(std::make_shared<TRecordSetData>(other.FData->Fields)) {
  FData->Rows = other.FData->Rows;
  FData->Pos = std::min(other.FData->Pos, FData->Rows.empty() ? 0 : int(FData->Rows.size()) - 1);
  FData->Eof = FData->Rows.empty() || other.FData->Eof;
  FData->Bof = FData->Rows.empty() || other.FData->Bof;
}

TRecordSet &TRecordSet::operator=(const TRecordSet &other) {
  if (this != &other) {
    TRecordSet copy(other);
    FData = std::move(copy.FData);
  }
  return *this;
}

// A moved-from set stays usable (empty, no fields), so a window that hands
// its table on never holds a dangling one.
TRecordSet::TRecordSet(TRecordSet &&other) noexcept
    : OnNewRecord(std::move(other.OnNewRecord)),
      AfterScroll(std::move(other.AfterScroll)),
      OnDataChange(std::move(other.OnDataChange)),
      FData(std::exchange(other.FData, std::make_shared<TRecordSetData>(std::vector<TFieldDef>{}))) {}

// Assignment gives this set another table; its notifications stay, as they
// belong to whoever holds this set (copy assignment does the same).
TRecordSet &TRecordSet::operator=(TRecordSet &&other) noexcept {
  if (this != &other) FData = std::exchange(other.FData, std::make_shared<TRecordSetData>(std::vector<TFieldDef>{}));
  return *this;
}
TRecordSet::~TRecordSet() = default;

const std::vector<TFieldDef> &TRecordSet::FieldDefs() const { return FData->Fields; }
int TRecordSet::FieldCount() const { return int(FData->Fields.size()); }
int TRecordSet::FieldIndex(std::string_view name) const { return FData->IndexOfField(name); }

int TRecordSet::FieldNo(std::string_view name) const {
  int i = FData->IndexOfField(name);
  if (i < 0) throw ERecordSet("Campul " + std::string(name) + " nu exista in tabel");
  return i;
}

bool TRecordSet::Indexed() const { return FData->CodField >= 0; }
int TRecordSet::RecordCount() const { return int(FData->Rows.size()); }
bool TRecordSet::Eof() const { return FData->Rows.empty() || (FData->State == dsBrowse && FData->Eof); }
bool TRecordSet::Bof() const { return FData->Rows.empty() || (FData->State == dsBrowse && FData->Bof); }
TDataSetState TRecordSet::State() const { return FData->State; }

int TRecordSet::RecNo() const {
  if (FData->Rows.empty() || FData->State == dsInsert) return 0;
  return FData->Pos + 1;
}

void TRecordSet::Scrolled() {
  if (AfterScroll) AfterScroll(*this);
  Changed(-1);
}

void TRecordSet::Changed(int field) {
  if (FData->ControlsOff == 0 && OnDataChange) OnDataChange(*this, field);
}

void TRecordSet::First() {
  Post();
  TData &d = *FData;
  d.Pos = 0;
  d.Bof = true;
  d.Eof = d.Rows.empty();
  Scrolled();
}

void TRecordSet::Last() {
  Post();
  TData &d = *FData;
  d.Pos = d.Rows.empty() ? 0 : int(d.Rows.size()) - 1;
  d.Eof = true;
  d.Bof = d.Rows.empty();
  Scrolled();
}

void TRecordSet::Next() {
  Post();
  TData &d = *FData;
  if (d.Pos + 1 < int(d.Rows.size())) {
    ++d.Pos;
    d.Bof = d.Eof = false;
  } else {
    d.Eof = true;
  }
  Scrolled();
}

void TRecordSet::Prior() {
  Post();
  TData &d = *FData;
  if (d.Pos > 0) {
    --d.Pos;
    d.Bof = d.Eof = false;
  } else {
    d.Bof = true;
  }
  Scrolled();
}

void TRecordSet::SetRecNo(int recNo) {
  Post();
  TData &d = *FData;
  if (recNo < 1 || recNo > int(d.Rows.size()))
    throw ERecordSet("Randul " + std::to_string(recNo) + " nu exista in tabel");
  d.Pos = recNo - 1;
  d.Bof = d.Eof = false;
  Scrolled();
}

bool TRecordSet::FindKey(double cod) {
  Post();
  TData &d = *FData;
  if (d.CodField < 0) return false;
  const std::pair<bool, double> key{true, cod};
  auto it = std::lower_bound(d.Rows.begin(), d.Rows.end(), key,
                             [&d](const TRow &x, const std::pair<bool, double> &k) { return d.Key(x) < k; });
  if (it == d.Rows.end() || d.Key(*it) != key) return false;
  d.Pos = int(it - d.Rows.begin());
  d.Bof = d.Eof = false;
  Scrolled();
  return true;
}

bool TRecordSet::Locate(std::string_view field, const TFieldValue &value) {
  Post();
  TData &d = *FData;
  const int f = FieldNo(field);
  for (size_t i = 0; i < d.Rows.size(); ++i) {
    if (CellEquals(d, d.Rows[i], f, value)) {
      d.Pos = int(i);
      d.Bof = d.Eof = false;
      Scrolled();
      return true;
    }
  }
  return false;
}

void TRecordSet::Append() {
  Post();
  TData &d = *FData;
  d.Pending = d.EmptyRow();
  d.State = dsInsert;
  if (OnNewRecord) {
    try {
      OnNewRecord(*this);
    } catch (...) {
      Cancel();
      throw;
    }
  }
  // The new row is the current one now: a handler that sets up the grid for
  // the current row (the PLU editor's code cell) must see it.
  Scrolled();
}

void TRecordSet::Edit() {
  TData &d = *FData;
  if (d.State != dsBrowse) return;
  if (d.Rows.empty()) throw ERecordSet("Tabelul este gol: nu exista un rand de modificat");
  d.Pending = d.Rows[d.Pos];
  d.State = dsEdit;
}

void TRecordSet::Post() {
  TData &d = *FData;
  if (d.State == dsBrowse) return;
  TRow row = std::move(d.Pending);
  d.Pending = TRow{};
  if (d.State == dsEdit) {
    if (d.Key(row) == d.Key(d.Rows[d.Pos])) {
      d.Rows[d.Pos] = std::move(row);
    } else {
      // A changed code moves the row to the end of its new code's group,
      // where an appended row with that code would go.
      d.Rows.erase(size_t(d.Pos));
      size_t at = d.UpperBound(row);
      d.Rows.insert(at, std::move(row));
      d.Pos = int(at);
    }
  } else {
    size_t at = d.UpperBound(row);
    d.Rows.insert(at, std::move(row));
    d.Pos = int(at);
  }
  d.State = dsBrowse;
  d.Bof = d.Eof = false;
  ++d.Version;
  Changed(-1);
}

void TRecordSet::Cancel() {
  TData &d = *FData;
  if (d.State == dsBrowse) return;
  const bool wasInsert = d.State == dsInsert;
  d.State = dsBrowse;
  d.Pending = TRow{};
  if (wasInsert) Scrolled();  // back on the row that was current before
  else Changed(-1);
}

void TRecordSet::Delete() {
  TData &d = *FData;
  if (d.State == dsInsert) {
    Cancel();
    return;
  }
  Cancel();
  if (d.Rows.empty()) throw ERecordSet("Tabelul este gol: nu exista un rand de sters");
  d.Rows.erase(size_t(d.Pos));
  ++d.Version;
  if (d.Pos < int(d.Rows.size())) {
    d.Eof = false;
  } else if (!d.Rows.empty()) {
    // Past the last row: a "delete or move on" loop ends here.
    d.Pos = int(d.Rows.size()) - 1;
    d.Eof = true;
  } else {
    d.Pos = 0;
    d.Eof = d.Bof = true;
  }
  Scrolled();
}

void TRecordSet::EmptyTable() {
  TData &d = *FData;
  d.State = dsBrowse;
  d.Pending = TRow{};
  d.Rows.clear();
  d.Pos = 0;
  d.Eof = d.Bof = true;
  ++d.Version;
  Scrolled();
}

const TRecordSet::TRow *TRecordSet::CurrentRow() const {
  const TData &d = *FData;
  if (d.State != dsBrowse) return &d.Pending;
  if (d.Rows.empty()) return nullptr;
  return &d.Rows[d.Pos];
}

void TRecordSet::CheckField(int field) const {
  if (field < 0 || field >= int(FData->Fields.size()))
    throw ERecordSet("Campul numarul " + std::to_string(field) + " nu exista in tabel");
}

TFieldValue TRecordSet::Value(int field) const {
  CheckField(field);
  const TRow *r = CurrentRow();
  return r ? FData->CellValue(*r, field) : TFieldValue{};
}

bool TRecordSet::IsNull(int field) const {
  CheckField(field);
  const TRow *r = CurrentRow();
  return !r || !FData->IsSet(*r, field);
}

int32_t TRecordSet::AsInteger(int field) const {
  return ValueToInteger(Value(field), FData->Fields[field].Name);
}
double TRecordSet::AsFloat(int field) const { return ValueToFloat(Value(field), FData->Fields[field].Name); }
bool TRecordSet::AsBoolean(int field) const {
  return ValueToBoolean(Value(field), FData->Fields[field].Name);
}
std::string TRecordSet::AsString(int field) const { return ValueToText(Value(field)); }

void TRecordSet::SetValue(int field, const TFieldValue &v) {
  CheckField(field);
  Edit();
  FData->StoreCell(FData->Pending, field, v);
  Changed(field);
}

void TRecordSet::SetInteger(int field, int32_t v) { SetValue(field, v); }
void TRecordSet::SetFloat(int field, double v) { SetValue(field, v); }
void TRecordSet::SetBoolean(int field, bool v) { SetValue(field, v); }
void TRecordSet::SetString(int field, std::string_view v) { SetValue(field, std::string(v)); }
void TRecordSet::Clear(int field) { SetValue(field, std::monostate{}); }

TFieldValue TRecordSet::ValueAt(int recNo, int field) const {
  CheckField(field);
  if (recNo < 1 || recNo > int(FData->Rows.size()))
    throw ERecordSet("Randul " + std::to_string(recNo) + " nu exista in tabel");
  return FData->CellValue(FData->Rows[recNo - 1], field);
}

void TRecordSet::DisableControls() { ++FData->ControlsOff; }

void TRecordSet::EnableControls() {
  if (FData->ControlsOff == 0) return;
  if (--FData->ControlsOff == 0) Changed(-1);
}

bool TRecordSet::ControlsDisabled() const { return FData->ControlsOff > 0; }

bool TRecordSet::CellEquals(const TData &d, const TRow &r, int f, const TFieldValue &value) {
  if (std::holds_alternative<std::monostate>(value)) return !d.IsSet(r, f);
  if (!d.IsSet(r, f)) return false;
  if (d.Fields[f].DataType == ftString) return d.Text(r, d.Slot[f]) == ValueToText(value);
  double want;
  if (!TryValueToFloat(value, want)) return false;
  return d.CellNumber(r, f) == want;
}

TRecordSetData &TRecordSetAccess::Data(TRecordSet &rs) { return *rs.FData; }
const TRecordSetData &TRecordSetAccess::Data(const TRecordSet &rs) { return *rs.FData; }
