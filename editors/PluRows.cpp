#include "PluRows.h"

#include <cmath>

#include "TextHelpers.h"

std::string PluCodeText(int64_t code) { return PadLeft(std::to_string(code), 14, '0'); }

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

void StorePlu(TRecordSet &t, const TPluFieldNos &no, const TPluFields &f) {
  if (!t.FindKey(double(f.Code))) {
    t.Append();
    t.SetFloat(no.Cod, double(f.Code));
    t.SetString(no.CodAlfa, PluCodeText(f.Code));
  }
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

TPluRec PluRecordOf(const TRecordSet &t, const TPluFieldNos &no) {
  TPluRec r{};
  r.Cod = std::trunc(t.AsFloat(no.Cod));
  r.Nume = t.AsString(no.Nume);
  r.NumeAditional = t.AsString(no.NumeAditional);
  r.CodDep = t.AsInteger(no.CodDep);
  r.CodUM = t.AsInteger(no.CodUM);
  r.Pret1 = t.AsFloat(no.Pret1);
  r.Pret2 = t.AsFloat(no.Pret2);
  r.LinkPLU = t.AsFloat(no.LinkPLU);
  r.Nou = t.AsBoolean(no.Nou);
  r.Sters = t.AsBoolean(no.Sters);
  return r;
}
