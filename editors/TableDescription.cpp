#include "TableDescription.h"

#include "RecordSet.h"
#include "RecordText.h"
#include "TarvoCore.h"
#include "ValueText.h"

int32_t TRowValues::Int(const std::string &field) const {
  const int f = FTable.FieldIndex(field);
  if (f < 0) return 0;
  try {
    return ValueToInteger(FTable.ValueAt(FRecNo, f), field);
  } catch (const ERecordSet &) {
    return 0;  // a text where a number belongs, in a file of another make
  }
}

std::string TRowValues::Text(const std::string &field) const {
  const int f = FTable.FieldIndex(field);
  return f < 0 ? std::string() : ValueToText(FTable.ValueAt(FRecNo, f));
}

namespace {

using L = TLineValue;
using A = TGridColumn::TAlign;

TGridColumn Shown(const char *field, const char *title, int width, A align = A::alDefault) {
  TGridColumn c;
  c.Field = field;
  c.Title = title;
  c.ReadOnly = true;
  c.Width = width;
  c.Align = align;
  return c;
}

TGridColumn Typed(const char *field, const char *title, int width, A align = A::alDefault,
                  std::vector<std::string> pick = {}) {
  TGridColumn c = Shown(field, title, width, align);
  c.ReadOnly = false;
  c.PickList = std::move(pick);
  return c;
}

std::vector<std::string> Numbers(int from, int to) {
  std::vector<std::string> v;
  for (int i = from; i <= to; ++i) v.push_back(std::to_string(i));
  return v;
}

// Each table's record, cleared and filled from a row; the record is then
// sent, or turned into its text, by the two templates below.
void FillDept(TDeptRec &d, const TRowValues &r) {
  // G, O2 and P2 stay 0: the register gets 0 there always
  d.Cod = r.Int("Cod");
  d.Nume = r.Text("Nume");
  d.UM = r.Int("UM");
  d.O1 = r.Int("O1");
  d.L = r.Int("L");
  d.P1 = r.Int("P1");
  d.TVA = r.Int("TVA");
}

void FillTva(TTvaRec &v, const TRowValues &r) {
  v.Cod = r.Int("Cod");
  v.Nume = r.Text("Nume");
  v.Cota = r.Int("Cota");
  v.Exceptat = r.Int("Exceptat");
  v.O1 = r.Int("O1");
  v.O2 = r.Int("O2");
  v.P1 = r.Int("P1");
  v.P2 = r.Int("P2");
}

void FillCasier(TCasierRec &c, const TRowValues &r) {
  c.Cod = r.Int("Cod");
  c.Nume = r.Text("Nume");
  c.O1 = r.Int("O1");
  c.O2 = r.Int("O2");
  c.Parola = r.Text("Parola");
}

void FillCurs(TCursRec &c, const TRowValues &r) {
  c.Cod = r.Int("Cod");
  c.Nume = r.Text("Nume");
  c.Prefix = r.Text("Prefix");
  c.rata = r.Int("Rata");
}

void FillFormaPlata(TFormaPlataRec &f, const TRowValues &r) {
  f.Cod = r.Int("Cod");
  f.Nume = r.Text("Nume");
  f.O1 = r.Int("O1");
  f.O2 = r.Int("O2");
  f.L = r.Int("L");
  f.P1 = r.Int("P1");
  f.P2 = r.Int("P2");
  f.S = r.Int("S");
  f.ODS = r.Int("ODS");
}

template <class TRec>
void FillBlock(TRec &b, const TRowValues &r) {
  b.Cod = r.Int("Cod");
  for (int p = 0; p < 32; ++p) b.P[p] = r.Int("P" + std::to_string(p + 1));
}

template <class TRec, TRecordKind Kind, void (*Fill)(TRec &, const TRowValues &)>
bool SendAs(TTARVO &link, const TRowValues &r) {
  TRec rec{};
  Fill(rec, r);
  return link.SendRecord(Kind, &rec);
}

template <class TRec, TRecordKind Kind, void (*Fill)(TRec &, const TRowValues &)>
std::string TextAs(const TRowValues &r) {
  TRec rec{};
  Fill(rec, r);
  return BuildRecordText(Kind, &rec);
}

// The Send and RecordText members of a description, from one Fill.
#define RECORD_OF(TRec, Kind, Fill) SendAs<TRec, Kind, Fill>, TextAs<TRec, Kind, Fill>

// A block line: its number, then P1..P32; the block table's hidden grid.
std::vector<TLineField> BlockLine() {
  std::vector<TLineField> line{{1, "Cod"}};
  for (int p = 1; p <= 32; ++p) line.push_back({p + 1, "P" + std::to_string(p)});
  return line;
}

std::vector<TGridColumn> BlockColumns() {
  std::vector<TGridColumn> cols{Shown("Cod", "Bloc", 35, A::alRight)};
  for (int p = 1; p <= 32; ++p) {
    const std::string name = "P" + std::to_string(p);
    TGridColumn c = Shown(name.c_str(), name.c_str(), 35, A::alRight);
    c.ReadOnly = false;
    cols.push_back(c);
  }
  return cols;
}

}  // namespace

const TTableDescription &DeptDescription() {
  static const TTableDescription d = {
      tiDepartamente, "D5000", 19,
      {{1, "Cod"}, {2, "Nume", L::Name}, {3, "UM"}, {5, "O1"}, {7, "L"}, {8, "P1"}, {10, "TVA", L::Whole, 1}},
      {Shown("Cod", "Cod", 40, A::alRight), Typed("Nume", "Nume departament", 210),
       Typed("UM", "UM", 45, A::alRight, Numbers(0, 5)), Typed("TVA", "TVA", 45, A::alRight, Numbers(1, 6)),
       Shown("O1", "O1", 50, A::alRight), Shown("L", "L", 40, A::alRight), Shown("P1", "P1", 60, A::alRight)},
      rkDept, RECORD_OF(TDeptRec, rkDept, FillDept)};
  return d;
}

const TTableDescription &TvaDescription() {
  static const TTableDescription d = {
      tiTVA, "D260", 9,
      {{1, "Cod"}, {2, "Nume", L::Name}, {3, "Cota"}, {4, "Exceptat"}, {5, "O1"}, {6, "O2", L::Whole, 0, false},
       {7, "P1"}, {8, "P2"}},
      {Shown("Cod", "Cod", 40, A::alRight), Shown("Nume", "Denumire", 160), Typed("Cota", "Cota", 60, A::alRight),
       Shown("Exceptat", "Exceptat", 60, A::alRight), Shown("O1", "O1", 50, A::alRight),
       Shown("O2", "O2", 50, A::alRight), Shown("P1", "P1", 70, A::alRight), Shown("P2", "P2", 50, A::alRight)},
      rkTva, RECORD_OF(TTvaRec, rkTva, FillTva)};
  return d;
}

const TTableDescription &CasieriDescription() {
  static const TTableDescription d = {
      tiCasieri, "D2000", 8,
      {{1, "Cod"}, {2, "Nume", L::Name}, {3, "O1"}, {4, "O2"}, {5, "Parola", L::Text}},
      {Shown("Cod", "Cod", 40, A::alRight), Typed("Nume", "Nume", 210), Shown("O1", "O1", 50, A::alRight),
       Shown("O2", "O2", 50, A::alRight), Typed("Parola", "Parola", 90)},
      rkCasier, RECORD_OF(TCasierRec, rkCasier, FillCasier), "Parola", 8};
  return d;
}

const TTableDescription &CursDescription() {
  static const TTableDescription d = {
      tiCurs, "D1200", 10,
      {{1, "Cod"}, {2, "Nume", L::Name}, {3, "Prefix", L::Name}, {4, "Rata"}},
      {Shown("Cod", "Cod", 40, A::alRight), Shown("Nume", "Nume", 120), Shown("Prefix", "Prefix", 60, A::alCenter),
       Typed("Rata", "Curs", 90, A::alRight)},
      rkCurs, RECORD_OF(TCursRec, rkCurs, FillCurs)};
  return d;
}

const TTableDescription &FormePlataDescription() {
  static const TTableDescription d = {
      tiFormePlata, "D700", 10,
      {{1, "Cod"}, {2, "Nume", L::Name}, {3, "O1"}, {4, "O2"}, {5, "L"}, {6, "P1"}, {7, "P2"}, {8, "S"}, {9, "ODS"}},
      {Shown("Cod", "Cod", 40, A::alRight), Typed("Nume", "Denumire", 190), Shown("O1", "O1", 40, A::alRight),
       Shown("O2", "O2", 40, A::alRight), Shown("L", "L", 40, A::alRight), Shown("P1", "P1", 40, A::alRight),
       Shown("P2", "P2", 40, A::alRight), Shown("S", "S", 40, A::alRight), Shown("ODS", "ODS", 45, A::alRight)},
      rkFormaPlata, RECORD_OF(TFormaPlataRec, rkFormaPlata, FillFormaPlata)};
  return d;
}

const TTableDescription &SPDescription() {
  static const TTableDescription d = {tiSP, "D16", 34, BlockLine(), BlockColumns(), rkSP,
                                      RECORD_OF(TSPRec, rkSP, FillBlock<TSPRec>)};
  return d;
}

const TTableDescription &SODescription() {
  static const TTableDescription d = {tiSO, "D17", 34, BlockLine(), BlockColumns(), rkSO,
                                      RECORD_OF(TSORec, rkSO, FillBlock<TSORec>)};
  return d;
}

#undef RECORD_OF

const TTableDescription *DescriptionOf(TTableId id) {
  switch (id) {
    case tiDepartamente: return &DeptDescription();
    case tiTVA: return &TvaDescription();
    case tiCasieri: return &CasieriDescription();
    case tiCurs: return &CursDescription();
    case tiFormePlata: return &FormePlataDescription();
    case tiSP: return &SPDescription();
    case tiSO: return &SODescription();
    case tiPLU:
    case tiSetari: return nullptr;
  }
  return nullptr;
}
