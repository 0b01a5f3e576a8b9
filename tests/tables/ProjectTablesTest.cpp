#include <gtest/gtest.h>

#include "ProjectTables.h"
#include "ScratchDir.h"
#include "TableFile.h"

namespace {

std::vector<int> Codes(TRecordSet &rs) {
  std::vector<int> out;
  for (rs.First(); !rs.Eof(); rs.Next()) out.push_back(rs.AsInteger("Cod"));
  return out;
}

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i <= to; ++i) v.push_back(i);
  return v;
}

}  // namespace

TEST(ProjectTables, NewProjectHasTheRowsThatAlwaysExist) {
  TScratchDir dir;
  TRecordSet dept = OpenProjectTable(dir.Path(), tiDepartamente);
  EXPECT_EQ(dept.FieldDefs(), TableFields(tiDepartamente));
  EXPECT_EQ(dept.RecNo(), 1);
  EXPECT_EQ(Codes(dept), Range(1, 20));
  for (dept.First(); !dept.Eof(); dept.Next()) {
    const int n = dept.AsInteger("Cod");
    EXPECT_EQ(dept.AsString("Nume"), "DEPT " + std::to_string(n));
    EXPECT_EQ(dept.AsInteger("UM"), 1);
    EXPECT_EQ(dept.AsInteger("O1"), 4);
    EXPECT_FALSE(dept.IsNull("L"));
    EXPECT_EQ(dept.AsInteger("P1"), 1256);
    EXPECT_EQ(dept.AsInteger("TVA"), 1);
    EXPECT_TRUE(dept.IsNull("G") && dept.IsNull("O2") && dept.IsNull("P2"));
  }

  TRecordSet tva = OpenProjectTable(dir.Path(), tiTVA);
  EXPECT_EQ(Codes(tva), Range(1, 6));
  tva.Last();
  EXPECT_EQ(tva.AsString("Nume"), "TVA 6");
  EXPECT_EQ(tva.AsInteger("P1"), 1234567);
  EXPECT_EQ(tva.AsInteger("P2"), 8);

  TRecordSet cas = OpenProjectTable(dir.Path(), tiCasieri);
  EXPECT_EQ(Codes(cas), Range(1, 8));
  cas.Last();
  EXPECT_EQ(cas.AsString("Nume"), "Operator 8");
  EXPECT_EQ(cas.AsString("Parola"), "24681357");
  EXPECT_TRUE(cas.IsNull("O1"));

  TRecordSet curs = OpenProjectTable(dir.Path(), tiCurs);
  EXPECT_EQ(Codes(curs), Range(1, 2));
  EXPECT_EQ(curs.AsString("Nume"), "...");
  EXPECT_EQ(curs.AsString("Prefix"), ".");
  EXPECT_EQ(curs.AsInteger("Rata"), 1);

  TRecordSet fp = OpenProjectTable(dir.Path(), tiFormePlata);
  EXPECT_EQ(Codes(fp), Range(1, 6));
  fp.SetRecNo(3);
  EXPECT_EQ(fp.AsString("Nume"), "FORMA PLATA 3");
  for (const char *f : {"O1", "O2", "L", "P1", "P2", "S", "ODS"}) EXPECT_FALSE(fp.IsNull(f)) << f;

  TRecordSet sp = OpenProjectTable(dir.Path(), tiSP);
  TRecordSet so = OpenProjectTable(dir.Path(), tiSO);
  EXPECT_EQ(sp.FieldCount(), 33);
  EXPECT_EQ(sp.FieldDefs()[32].Name, "P32");
  EXPECT_EQ(Codes(sp), Range(1, 8));
  EXPECT_EQ(Codes(so), Range(1, 16));
  for (int f = 1; f <= 32; ++f) EXPECT_TRUE(so.IsNull(f));

  TRecordSet plu = OpenProjectTable(dir.Path(), tiPLU);
  EXPECT_TRUE(plu.IsEmpty());
  EXPECT_EQ(plu.FieldDefs(), TableFields(tiPLU));

  TRecordSet set = OpenProjectTable(dir.Path(), tiSetari);
  EXPECT_TRUE(set.IsEmpty());
  EXPECT_TRUE(set.HasField("baud") && set.HasField("PORT"));
  // Opening never writes anything.
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(ProjectTables, StoredRowsKeepTheirValuesAndMissingCodesAreAdded) {
  TScratchDir dir;
  TRecordSet file = NewTable(tiDepartamente);
  for (int c : {40, 1, 2, 3, 4, 5}) {
    file.Append();
    file.SetInteger("Cod", c);
    file.SetString("Nume", "Raion " + std::to_string(c));
    file.SetInteger("TVA", 3);
    file.Post();
  }
  SaveProjectTable(dir.Path(), tiDepartamente, file);
  TRecordSet dept = OpenProjectTable(dir.Path(), tiDepartamente);
  std::vector<int> want = Range(1, 20);
  want.push_back(40);
  EXPECT_EQ(Codes(dept), want);
  for (dept.First(); !dept.Eof(); dept.Next()) {
    const int c = dept.AsInteger("Cod");
    const bool stored = c <= 5 || c == 40;
    EXPECT_EQ(dept.AsString("Nume"), (stored ? "Raion " : "DEPT ") + std::to_string(c));
    EXPECT_EQ(dept.AsInteger("TVA"), stored ? 3 : 1);
    EXPECT_EQ(dept.IsNull("P1"), stored);  // stored rows are not topped up
  }

  // A VAT table with every row present opens exactly as stored.
  TRecordSet tva = OpenProjectTable(dir.Path(), tiTVA);
  for (tva.First(); !tva.Eof(); tva.Next()) {
    tva.SetInteger("Cota", 1900 + tva.AsInteger("Cod"));
    tva.Clear("O1");
  }
  tva.Post();
  SaveProjectTable(dir.Path(), tiTVA, tva);
  TRecordSet again = OpenProjectTable(dir.Path(), tiTVA);
  ASSERT_EQ(again.RecordCount(), 6);
  for (int r = 1; r <= 6; ++r)
    for (int f = 0; f < again.FieldCount(); ++f) EXPECT_EQ(again.ValueAt(r, f), tva.ValueAt(r, f));
}

TEST(ProjectTables, TableOtherThanPluKeepsTheFieldsOfItsFile) {
  TScratchDir dir;
  TRecordSet own({{"cod", ftInteger, 0}, {"Nume", ftString, 5}, {"Extra", ftFloat, 0}});
  own.Append();
  own.SetInteger("Cod", 2);
  own.SetFloat("Extra", 1.5);
  own.Post();
  SaveProjectTable(dir.Path(), tiCasieri, own);
  TRecordSet cas = OpenProjectTable(dir.Path(), tiCasieri);
  EXPECT_EQ(cas.FieldDefs(), own.FieldDefs());
  EXPECT_EQ(Codes(cas), Range(1, 8));
  cas.First();
  EXPECT_EQ(cas.AsString("Nume"), "Opera");  // default cut to the file's size
  cas.Next();
  EXPECT_EQ(cas.AsFloat("Extra"), 1.5);
  EXPECT_TRUE(cas.IsNull("Nume"));
}

TEST(ProjectTables, PluTakesOverSharedFieldsByName) {
  TScratchDir dir;
  // An older layout: no Cantar, a field PLU does not know, fields in another order.
  TRecordSet old({{"Nume", ftString, 50}, {"COD", ftFloat, 0}, {"CodAlfa", ftString, 14},
                  {"Pret1", ftFloat, 0}, {"Vechi", ftInteger, 0}, {"Nou", ftBoolean, 0}});
  auto add = [&](double cod, const char *nume, double pret) {
    old.Append();
    old.SetFloat("Cod", cod);
    old.SetString("Nume", nume);
    old.SetString("CodAlfa", std::to_string(int64_t(cod)));
    old.SetFloat("Pret1", pret);
    old.SetInteger("Vechi", 7);
    old.SetBoolean("Nou", false);
    old.Post();
  };
  add(12345678901234.0, "Lapte", 4.5);
  add(3, "Paine", 2.25);
  add(3, "Paine mare", 3);
  SaveProjectTable(dir.Path(), tiPLU, old);

  TRecordSet plu = OpenProjectTable(dir.Path(), tiPLU);
  EXPECT_EQ(plu.FieldDefs(), TableFields(tiPLU));
  ASSERT_EQ(plu.RecordCount(), 3);
  EXPECT_EQ(plu.RecNo(), 1);
  EXPECT_EQ(plu.AsString("Nume"), "Paine");
  plu.Next();
  EXPECT_EQ(plu.AsString("Nume"), "Paine mare");
  EXPECT_EQ(plu.AsFloat("Pret1"), 3.0);
  plu.Next();
  EXPECT_EQ(plu.AsFloat("Cod"), 12345678901234.0);
  EXPECT_EQ(plu.AsString("CodAlfa"), "12345678901234");
  EXPECT_FALSE(plu.IsNull("Nou"));
  for (plu.First(); !plu.Eof(); plu.Next())
    for (const char *f : {"Cantar", "NumeAditional", "CodDep", "Pret2", "Sters"}) EXPECT_TRUE(plu.IsNull(f)) << f;
}

TEST(ProjectTables, FilesThatCannotServeAsTheirTableAreRefused) {
  TScratchDir dir;
  // Without a numeric Cod the rows that always exist could never be found,
  // and every open and save would add them again.
  TRecordSet noCod({{"Nume", ftString, 10}});
  SaveProjectTable(dir.Path(), tiTVA, noCod);
  EXPECT_THROW(OpenProjectTable(dir.Path(), tiTVA), ETableFile);

  TRecordSet textCod({{"Cod", ftString, 10}, {"Pret1", ftString, 10}});
  textCod.Append();
  textCod.SetString("Cod", "1");
  textCod.SetString("Pret1", "ieftin");
  textCod.Post();
  SaveProjectTable(dir.Path(), tiSP, textCod);
  EXPECT_THROW(OpenProjectTable(dir.Path(), tiSP), ETableFile);
  SaveProjectTable(dir.Path(), tiPLU, textCod);  // "ieftin" cannot become a price
  try {
    OpenProjectTable(dir.Path(), tiPLU);
    ADD_FAILURE() << "opened a PLU file with a text price";
  } catch (const ETableFile &e) {
    EXPECT_EQ(e.Path(), dir.Path() + "/PLU.cds");
  }

  // A field the table knows, kept as another kind of value: a unit of
  // measure as text, a VAT group as a fraction.
  for (TFieldDef wrong : {TFieldDef{"UM", ftString, 5}, TFieldDef{"TVA", ftFloat, 0}}) {
    TRecordSet odd({{"Cod", ftInteger, 0}, wrong});
    SaveProjectTable(dir.Path(), tiDepartamente, odd);
    try {
      OpenProjectTable(dir.Path(), tiDepartamente);
      ADD_FAILURE() << "opened departments with " << wrong.Name << " of another type";
    } catch (const ETableFile &e) {
      EXPECT_NE(std::string(e.what()).find("campul " + wrong.Name + " este de tip"), std::string::npos) << e.what();
    }
  }

  WriteFileBytes(dir.File("Curs.cds"), "stricat");
  EXPECT_THROW(OpenProjectTable(dir.Path(), tiCurs), ETableFile);
  EXPECT_EQ(ReadFileBytes(dir.File("Curs.cds")), "stricat");
}

TEST(ProjectTables, PathsAndSettingsTable) {
  EXPECT_EQ(ProjectTablePath("/p/Magazin", tiPLU), "/p/Magazin/PLU.cds");
  EXPECT_EQ(ProjectTablePath("/p/Magazin/", tiSetari), "/p/Magazin/setari.cds");
  TScratchDir dir;
  TRecordSet set = OpenProjectTable(dir.Path(), tiSetari);
  set.Append();
  FillDefaultRow(tiSetari, 0, set);
  set.Post();
  SaveProjectTable(dir.Path(), tiSetari, set);
  TRecordSet back = LoadTableFile(dir.File("setari.cds"));
  EXPECT_EQ(back.RecordCount(), 1);
  EXPECT_EQ(back.AsInteger("port"), 1);
  EXPECT_EQ(back.AsInteger("BAUD"), 3);
}
