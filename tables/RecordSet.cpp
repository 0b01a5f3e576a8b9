#include "RecordSet.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "RecordSetData.h"
#include "ValueText.h"

namespace {


}  // namespace

// ---------------------------------------------------------------- TRowList

size_t TRowList::BlockOf(size_t k) const {
  return size_t(std::upper_bound(FStarts.begin(), FStarts.end(), k) - FStarts.begin()) - 1;
}

TRowList::TRow &TRowList::Locate(size_t k) {
  const size_t b = BlockOf(k);
  return FBlocks[b][k - FStarts[b]];
}

void TRowList::Restart(size_t fromBlock) {
  FStarts.resize(FBlocks.size());
  size_t at = fromBlock == 0 ? 0 : FStarts[fromBlock - 1] + FBlocks[fromBlock - 1].size();
  for (size_t b = fromBlock; b < FBlocks.size(); ++b) {
    FStarts[b] = at;
    at += FBlocks[b].size();
  }
}

void TRowList::insert(size_t k, TRow r) {
  if (FBlocks.empty()) {
    FBlocks.emplace_back();
    FBlocks.back().reserve(BlockRows);
    FStarts.push_back(0);
  }
  size_t b = k >= FSize ? FBlocks.size() - 1 : BlockOf(k);
  if (k >= FSize && FBlocks[b].size() >= BlockRows) {
    // Appending past a full last block: start a new one rather than split.
    FBlocks.emplace_back();
    FBlocks.back().reserve(BlockRows);
    b = FBlocks.size() - 1;
    FStarts.push_back(FSize);
  }
  std::vector<TRow> &blk = FBlocks[b];
  blk.insert(blk.begin() + std::ptrdiff_t(k - FStarts[b]), std::move(r));
  ++FSize;
  if (blk.size() > 2 * BlockRows) {
    std::vector<TRow> tail(std::make_move_iterator(blk.begin() + BlockRows), std::make_move_iterator(blk.end()));
    blk.resize(BlockRows);
    FBlocks.insert(FBlocks.begin() + std::ptrdiff_t(b) + 1, std::move(tail));
  }
  Restart(b);
}

void TRowList::erase(size_t k) {
  const size_t b = BlockOf(k);
  std::vector<TRow> &blk = FBlocks[b];
  blk.erase(blk.begin() + std::ptrdiff_t(k - FStarts[b]));
  --FSize;
  if (blk.empty()) FBlocks.erase(FBlocks.begin() + std::ptrdiff_t(b));
  Restart(b < FBlocks.size() ? b : FBlocks.size());
}

void TRowList::Assign(std::vector<TRow> rows) {
  clear();
  for (size_t at = 0; at < rows.size(); at += BlockRows) {
    const size_t end = std::min(rows.size(), at + BlockRows);
    FBlocks.emplace_back(std::make_move_iterator(rows.begin() + std::ptrdiff_t(at)),
                         std::make_move_iterator(rows.begin() + std::ptrdiff_t(end)));
  }
  FSize = rows.size();
  Restart(0);
}

std::vector<TRowList::TRow> TRowList::TakeAll() {
  std::vector<TRow> all;
  all.reserve(FSize);
  for (auto &blk : FBlocks)
    for (auto &r : blk) all.push_back(std::move(r));
  clear();
  return all;
}

// ---------------------------------------------------------------- TData

TRecordSet::TData::TData(std::vector<TFieldDef> fields) : Fields(std::move(fields)) {
  for (size_t i = 0; i < Fields.size(); ++i) {
    const TFieldDef &f = Fields[i];
    if (f.Name.empty()) throw ERecordSet("Camp fara nume in definitia tabelului");
    for (size_t j = 0; j < i; ++j)
      if (EqualsNoCase(Fields[j].Name, f.Name))
        throw ERecordSet("Campul " + f.Name + " apare de doua ori in definitia tabelului");
    if (f.DataType == ftString) {
      if (f.Size < 1 || f.Size > MaxStringFieldSize)
        throw ERecordSet("Campul " + f.Name + " are o lungime nepermisa: " + std::to_string(f.Size));
      Slot.push_back(TextCount++);
    } else {
      if (f.DataType != ftInteger && f.DataType != ftFloat && f.DataType != ftBoolean)
        throw ERecordSet("Campul " + f.Name + " are un tip necunoscut");
      Slot.push_back(NumCount++);
    }
  }
  NumAt = (Fields.size() + 7) / 8;
  EndsAt = NumAt + 8 * size_t(NumCount);
  TextAt = EndsAt + 4 * size_t(TextCount);
  int cod = FieldIndex("Cod");
  // Only a numeric Cod can order the rows; a text Cod from a foreign file
  // leaves the set unordered rather than sorting by something arbitrary.
  if (cod >= 0 && Fields[cod].DataType != ftString) CodField = cod;
}

int TRecordSet::TData::FieldIndex(std::string_view name) const {
  for (size_t i = 0; i < Fields.size(); ++i)
    if (EqualsNoCase(Fields[i].Name, name)) return int(i);
  return -1;
}

TRecordSet::TRow TRecordSet::TData::EmptyRow() const {
  TRow r;
  r.B.assign(TextAt, '\0');
  return r;
}

void TRecordSet::TData::PutText(TRow &r, int slot, std::string_view t) const {
  const uint32_t b = slot == 0 ? 0 : TextEnd(r, slot - 1), e = TextEnd(r, slot);
  r.B.replace(TextAt + b, e - b, t);
  const int64_t delta = int64_t(t.size()) - int64_t(e - b);
  for (int s = slot; s < TextCount; ++s) {
    const uint32_t end = uint32_t(int64_t(TextEnd(r, s)) + delta);
    std::memcpy(r.B.data() + EndsAt + 4 * size_t(s), &end, 4);
  }
}

TFieldValue TRecordSet::TData::CellValue(const TRow &r, int f) const {
  if (!IsSet(r, f)) return std::monostate{};
  const int s = Slot[f];
  switch (Fields[f].DataType) {
    case ftInteger: return int32_t(Num(r, s).I);
    case ftFloat: return Num(r, s).F;
    case ftBoolean: return Num(r, s).I != 0;
    case ftString: return std::string(Text(r, s));
  }
  return std::monostate{};
}

double TRecordSet::TData::CellNumber(const TRow &r, int f) const {
  const TNum n = Num(r, Slot[f]);
  return Fields[f].DataType == ftFloat ? n.F : double(n.I);
}

std::pair<bool, double> TRecordSet::TData::Key(const TRow &r) const {
  if (CodField < 0 || !IsSet(r, CodField)) return {false, 0.0};
  return {true, CellNumber(r, CodField)};
}

bool TRecordSet::TData::KeyLess(const TRow &a, const TRow &b) const {
  return Key(a) < Key(b);
}

size_t TRecordSet::TData::UpperBound(const TRow &r) const {
  if (CodField < 0) return Rows.size();
  const auto k = Key(r);
  return size_t(std::upper_bound(Rows.begin(), Rows.end(), k,
                                 [this](const std::pair<bool, double> &key, const TRow &x) {
                                   return key < Key(x);
                                 }) - Rows.begin());
}

void TRecordSet::TData::AssignRows(std::vector<TRow> rows) {
  if (CodField >= 0) {
    auto less = [this](const TRow &a, const TRow &b) { return KeyLess(a, b); };
    if (!std::is_sorted(rows.begin(), rows.end(), less)) std::stable_sort(rows.begin(), rows.end(), less);
  }
  Rows.Assign(std::move(rows));
  State = dsBrowse;
  Pending = TRow{};
  Pos = 0;
  Eof = Bof = true;
  ++Version;
}

void TRecordSet::TData::StoreCell(TRow &r, int f, const TFieldValue &v) const {
  const TFieldDef &def = Fields[f];
  const int s = Slot[f];
  // Blank text put into a number field empties it, as typing nothing into a
  // grid cell does.
  const bool blankIntoNumber = def.DataType != ftString && std::holds_alternative<std::string>(v) &&
                               std::get<std::string>(v).find_first_not_of(" \t") == std::string::npos;
  if (std::holds_alternative<std::monostate>(v) || blankIntoNumber) {
    MarkSet(r, f, false);
    if (def.DataType == ftString) PutText(r, s, {});
    else PutNum(r, s, TNum{});
    return;
  }
  switch (def.DataType) {
    case ftInteger: {
      TNum n;
      n.I = ValueToInteger(v, def.Name);
      PutNum(r, s, n);
      break;
    }
    case ftFloat: {
      const double x = ValueToFloat(v, def.Name);
      // An infinity or NaN would break the ordering of the index.
      if (!std::isfinite(x)) throw ERecordSet("Valoare nepermisa in campul " + def.Name);
      TNum n;
      n.F = x;
      PutNum(r, s, n);
      break;
    }
    case ftBoolean: {
      TNum n;
      n.I = ValueToBoolean(v, def.Name) ? 1 : 0;
      PutNum(r, s, n);
      break;
    }
    case ftString: {
      std::string t = ValueToText(v);
      if (t.size() > size_t(def.Size)) t.resize(def.Size);
      PutText(r, s, t);
      break;
    }
  }
  MarkSet(r, f, true);
}

// ---------------------------------------------------------------- TRecordSet

TRecordSet::TRecordSet() : FData(std::make_shared<TData>(std::vector<TFieldDef>{})) {}

TRecordSet::TRecordSet(std::vector<TFieldDef> fields)
    : FData(std::make_shared<TData>(std::move(fields))) {}

// A copy is a plain table: the posted rows and fields, positioned where the
// original was. Notifications stay with the original, since they usually
// point at the window that owns it.
TRecordSet::TRecordSet(const TRecordSet &other)
    : FData(std::make_shared<TData>(other.FData->Fields)) {
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
      FData(std::exchange(other.FData, std::make_shared<TData>(std::vector<TFieldDef>{}))) {}

// Assignment gives this set another table; its notifications stay, as they
// belong to whoever holds this set (copy assignment does the same).
TRecordSet &TRecordSet::operator=(TRecordSet &&other) noexcept {
  if (this != &other) FData = std::exchange(other.FData, std::make_shared<TData>(std::vector<TFieldDef>{}));
  return *this;
}
TRecordSet::~TRecordSet() = default;

const std::vector<TFieldDef> &TRecordSet::FieldDefs() const { return FData->Fields; }
int TRecordSet::FieldCount() const { return int(FData->Fields.size()); }
int TRecordSet::FieldIndex(std::string_view name) const { return FData->FieldIndex(name); }

int TRecordSet::FieldNo(std::string_view name) const {
  int i = FData->FieldIndex(name);
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
