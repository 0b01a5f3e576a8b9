#include "PluRows.h"

#include <cmath>

#include "Decimal.h"
#include "FieldText.h"
#include "RecordText.h"
#include "TextHelpers.h"
#include "ValueText.h"

std::string PluCodeText(int64_t code) { return PadLeft(std::to_string(code), 14, '0'); }

double PriceAsSent(double price) {
  double sent = 0;
  return ParseDecimal(FormatDecimal(price, 2), sent) ? sent : price;
}

TPluFieldNos::TPluFieldNos(const TRecordSet &plu)
    : Cod(plu.FieldNo("Cod")),
      CodAlfa(plu.FieldNo("CodAlfa")),
      Nume(plu.FieldNo("Nume")),
      NumeAditional(plu.FieldNo("NumeAditional")),
      CodDep(plu.FieldNo("CodDep")),
      CodUM(plu.FieldNo("CodUM")),
      Pret1(plu.FieldNo("Pret1")),
      Pret2(plu.FieldNo("Pret2")),
      LinkPLU(plu.FieldNo("LinkPLU")),
      Nou(plu.FieldNo("Nou")),
      Sters(plu.FieldNo("Sters")),
      Cantar(plu.FieldNo("Cantar")) {}

TPluNumbering::TPluNumbering(TRecordSet &plu) : FTable(plu), FNo(plu), FShort(plu, ShortCodeFilter) {
  FTable.OnNewRecord = [this](TRecordSet &t) { FillNewRow(t); };
}

TPluNumbering::~TPluNumbering() { FTable.OnNewRecord = nullptr; }

void TPluNumbering::FillNewRow(TRecordSet &t) {
  // The cursor sees posted rows only, in Cod order: its last row holds the
  // highest short code. When 10000 is taken every new row gets 10001; codes
  // are not kept unique here, the programming run's check catches repeats.
  FShort.Last();
  const double highest = FShort.IsEmpty() ? 0.0 : FShort.AsFloat("Cod");
  const int64_t cod = int64_t(std::trunc(highest)) + 1;
  t.SetFloat(FNo.Cod, double(cod));
  t.SetString(FNo.CodAlfa, PluCodeText(cod));
  t.SetString(FNo.Nume, "PLU " + std::to_string(cod));
  t.SetInteger(FNo.CodDep, 1);
  t.SetInteger(FNo.CodUM, 1);
  t.SetFloat(FNo.Pret1, 0);
  t.SetFloat(FNo.Pret2, 0);
  t.SetFloat(FNo.LinkPLU, 0);
  t.SetString(FNo.Cantar, " ");
  t.SetBoolean(FNo.Nou, true);
}

bool ParsePluLine(const std::string &line, TLineList &fields, TPluFields &f) {
  fields.clear();
  SplitText(line, ';', fields);
  return PluOfAnswerFields(fields, f) && ValidPluCode(f.Code);
}

namespace {

void PutPluFields(TRecordSet &t, const TPluFieldNos &no, const TPluFields &f) {
  t.SetString(no.Nume, f.Nume);
  t.SetString(no.NumeAditional, f.NumeAditional);
  t.SetInteger(no.CodDep, f.CodDep);
  t.SetInteger(no.CodUM, f.CodUM);
  t.SetFloat(no.Pret1, f.Pret1);
  t.SetFloat(no.Pret2, f.Pret2);
  t.SetFloat(no.LinkPLU, f.LinkPLU);
  t.SetBoolean(no.Sters, false);
  t.SetBoolean(no.Nou, false);
  t.Post();
}

void AppendCode(TRecordSet &t, const TPluFieldNos &no, int64_t code) {
  t.Append();
  t.SetFloat(no.Cod, double(code));
  t.SetString(no.CodAlfa, PluCodeText(code));
}

double FloatAt(const TRecordSet &t, int recNo, int field) {
  double v = 0;
  return TryValueToFloat(t.ValueAt(recNo, field), v) ? v : 0.0;
}

int32_t IntegerAt(const TRecordSet &t, int recNo, int field) {
  const TFieldValue v = t.ValueAt(recNo, field);
  return std::holds_alternative<int32_t>(v) ? std::get<int32_t>(v) : int32_t(std::lround(FloatAt(t, recNo, field)));
}

// The whole part of a number as the record writes it (a linked PLU).
std::string WholeText(double v) {
  if (!(v > -1e18 && v < 1e18)) return "0";
  return std::to_string(static_cast<long long>(std::trunc(v)));
}

}  // namespace

void StorePlu(TRecordSet &t, const TPluFieldNos &no, const TPluFields &f) {
  if (!t.FindKey(double(f.Code))) AppendCode(t, no, f.Code);
  PutPluFields(t, no, f);
}

void AppendPlu(TRecordSet &t, const TPluFieldNos &no, const TPluFields &f) {
  AppendCode(t, no, f.Code);
  PutPluFields(t, no, f);
}

bool FlagAt(const TRecordSet &t, int recNo, int field) {
  const TFieldValue v = t.ValueAt(recNo, field);
  return std::holds_alternative<bool>(v) && std::get<bool>(v);
}

TPluRec PluRecordAt(const TRecordSet &t, const TPluFieldNos &no, int recNo) {
  TPluRec r{};
  r.Cod = std::trunc(FloatAt(t, recNo, no.Cod));
  r.Nume = ValueToText(t.ValueAt(recNo, no.Nume));
  r.NumeAditional = ValueToText(t.ValueAt(recNo, no.NumeAditional));
  r.CodDep = IntegerAt(t, recNo, no.CodDep);
  r.CodUM = IntegerAt(t, recNo, no.CodUM);
  r.Pret1 = FloatAt(t, recNo, no.Pret1);
  r.Pret2 = FloatAt(t, recNo, no.Pret2);
  r.LinkPLU = FloatAt(t, recNo, no.LinkPLU);
  r.Nou = FlagAt(t, recNo, no.Nou);
  r.Sters = FlagAt(t, recNo, no.Sters);
  return r;
}

int64_t PluCodeAt(const TRecordSet &t, const TPluFieldNos &no, int recNo) {
  const double cod = FloatAt(t, recNo, no.Cod);
  return cod > 0 && cod <= double(MaxPluCode) ? int64_t(std::trunc(cod)) : 0;
}

TRowRecord PluRowRecord(const TPluFieldNos &no) {
  return {[no](const TRecordSet &t, int r) { return PluCodeAt(t, no, r); },
          [no](const TRecordSet &t, int r) {
            const TPluRec rec = PluRecordAt(t, no, r);
            return BuildRecordText(rkPlu, &rec);
          }};
}

TCompareSpec PluCompareSpec(const TPluFieldNos &no) {
  TCompareSpec spec;
  spec.Code = [no](const TRecordSet &t, int r) { return PluCodeAt(t, no, r); };
  spec.CodeText = [](int64_t code) { return PluCodeText(code); };
  auto text = [](int field) { return [field](const TRecordSet &t, int r) { return ValueToText(t.ValueAt(r, field)); }; };
  auto whole = [](int field) { return [field](const TRecordSet &t, int r) { return std::to_string(IntegerAt(t, r, field)); }; };
  auto price = [](int field) { return [field](const TRecordSet &t, int r) { return FormatDecimal(FloatAt(t, r, field), 2); }; };
  spec.Fields = {{"Nume", text(no.Nume)},
                 {"NumeAditional", text(no.NumeAditional)},
                 {"CodDep", whole(no.CodDep)},
                 {"CodUM", whole(no.CodUM)},
                 {"Pret1", price(no.Pret1)},
                 {"Pret2", price(no.Pret2)},
                 {"LinkPLU", [field = no.LinkPLU](const TRecordSet &t, int r) { return WholeText(FloatAt(t, r, field)); }}};
  spec.Unwanted = [no](const TRecordSet &t, int r) { return FlagAt(t, r, no.Sters); };
  spec.Summary = text(no.Nume);
  return spec;
}
