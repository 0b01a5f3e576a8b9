#include "Schemas.h"

#include <stdexcept>

namespace {

TFieldDef I(const char *name) { return {name, ftInteger, 0}; }
TFieldDef S(const char *name, int size) { return {name, ftString, size}; }
TFieldDef F(const char *name) { return {name, ftFloat, 0}; }
TFieldDef B(const char *name) { return {name, ftBoolean, 0}; }

std::vector<TFieldDef> BlockFields() {
  std::vector<TFieldDef> f{I("Cod")};
  for (int p = 1; p <= 32; ++p) f.push_back({"P" + std::to_string(p), ftInteger, 0});
  return f;
}

struct TTableInfo {
  TTableId Id;
  const char *FileName;
  std::vector<TFieldDef> Fields;
  int32_t FirstCode, LastCode;  // rows that always exist; 0, -1 for none
};

const std::vector<TTableInfo> &Infos() {
  static const std::vector<TTableInfo> infos = {
      {tiDepartamente, "Departamente.cds",
       {I("Cod"), S("Nume", 50), I("UM"), I("G"), I("O1"), I("O2"), I("L"), I("P1"), I("P2"), I("TVA")},
       1, 20},
      {tiTVA, "TVA.cds",
       {I("Cod"), S("Nume", 50), I("Cota"), I("Exceptat"), I("O1"), I("O2"), I("P1"), I("P2")},
       1, 6},
      {tiPLU, "PLU.cds",
       {F("Cod"), S("CodAlfa", 14), S("Nume", 50), S("NumeAditional", 50), I("CodDep"), I("CodUM"),
        F("Pret1"), F("Pret2"), F("LinkPLU"), B("Nou"), B("Sters"), S("Cantar", 1)},
       0, -1},
      {tiCasieri, "Casieri.cds", {I("Cod"), S("Nume", 50), I("O1"), I("O2"), S("Parola", 8)}, 1, 8},
      {tiCurs, "Curs.cds", {I("Cod"), S("Nume", 10), S("Prefix", 2), I("Rata")}, 1, 2},
      {tiFormePlata, "FormePlata.cds",
       {I("Cod"), S("Nume", 50), I("O1"), I("O2"), I("L"), I("P1"), I("P2"), I("S"), I("ODS")},
       1, 6},
      {tiSP, "SP.cds", BlockFields(), 1, 8},
      {tiSO, "SO.cds", BlockFields(), 1, 16},
      {tiSetari, "setari.cds", {I("Port"), I("Baud")}, 0, -1},
  };
  return infos;
}

const TTableInfo &Info(TTableId id) {
  for (const TTableInfo &t : Infos())
    if (t.Id == id) return t;
  throw std::invalid_argument("unknown table id " + std::to_string(int(id)));
}

// Sets a default value where the field exists and can take it; see
// FillDefaultRow for why a misfit is skipped rather than fatal.
void Put(TRecordSet &rs, const char *field, const TFieldValue &v) {
  const int f = rs.FieldIndex(field);
  if (f < 0) return;
  try {
    rs.SetValue(f, v);
  } catch (const ERecordSet &) {
  }
}

}  // namespace

const std::vector<TTableId> &AllTables() {
  static const std::vector<TTableId> all = {tiDepartamente, tiTVA, tiPLU, tiCasieri, tiCurs,
                                            tiFormePlata, tiSP, tiSO, tiSetari};
  return all;
}

const char *TableFileName(TTableId id) { return Info(id).FileName; }
const std::vector<TFieldDef> &TableFields(TTableId id) { return Info(id).Fields; }
TRecordSet NewTable(TTableId id) { return TRecordSet(Info(id).Fields); }

std::vector<int32_t> DefaultCodes(TTableId id) {
  const TTableInfo &t = Info(id);
  std::vector<int32_t> codes;
  for (int32_t c = t.FirstCode; c <= t.LastCode; ++c) codes.push_back(c);
  return codes;
}

void FillDefaultRow(TTableId id, int32_t cod, TRecordSet &rs) {
  const std::string n = std::to_string(cod);
  Put(rs, "Cod", cod);
  switch (id) {
    case tiDepartamente:
      Put(rs, "Nume", "DEPT " + n);
      Put(rs, "UM", 1);
      Put(rs, "O1", 4);
      Put(rs, "L", 0);
      Put(rs, "P1", 1256);
      Put(rs, "TVA", 1);
      break;
    case tiTVA:
      Put(rs, "Nume", "TVA " + n);
      Put(rs, "Cota", 0);
      Put(rs, "Exceptat", 0);
      Put(rs, "O1", 458);
      Put(rs, "O2", 4);
      Put(rs, "P1", 1234567);
      Put(rs, "P2", 8);
      break;
    case tiCasieri:
      Put(rs, "Nume", "Operator " + n);
      Put(rs, "Parola", std::string("24681357"));
      break;
    case tiCurs:
      Put(rs, "Nume", std::string("..."));
      Put(rs, "Prefix", std::string("."));
      Put(rs, "Rata", 1);
      break;
    case tiFormePlata:
      Put(rs, "Nume", "FORMA PLATA " + n);
      for (const char *f : {"O1", "O2", "L", "P1", "P2", "S", "ODS"}) Put(rs, f, 0);
      break;
    case tiSetari:
      Put(rs, "Port", SetariDefaultPort);
      Put(rs, "Baud", SetariDefaultBaud);
      break;
    case tiSP:
    case tiSO:
    case tiPLU:
      break;  // blocks carry only their number; PLU has no default rows
  }
}
