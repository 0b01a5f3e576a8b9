// Writes: each record kind the link encodes is stored by the register and
// comes back in the layout the editors read.
#include <chrono>

#include "Fields.h"
#include "SimFixture.h"

namespace {

// The line of a read whose code (position 1) is cod, split at ';'.
std::vector<std::string> Row(const std::vector<std::string> &lines, const std::string &cod) {
  for (const auto &l : lines) {
    std::vector<std::string> f;
    for (auto x : Sim::SplitFields(l)) f.emplace_back(x);
    if (f.size() > 1 && f[1] == cod) return f;
  }
  return {};
}

}  // namespace

using WriteTest = SimFixture;

TEST_F(WriteTest, EveryRecordKindIsStoredAndReadBack) {
  auto w = Link(true);
  TDeptRec d{};
  d.Cod = 21;
  d.Nume = "Legume";
  d.UM = 2;
  d.O1 = 4;
  d.L = 1;
  d.P1 = 1256;
  d.TVA = 2;
  ASSERT_TRUE(w->SendRecord(rkDept, &d)) << w->LastError();
  TTvaRec v{};
  v.Cod = 4;
  v.Nume = "D";
  v.Cota = 1100;
  v.O1 = 3;
  v.P1 = 7;
  v.P2 = 8;
  ASSERT_TRUE(w->SendRecord(rkTva, &v)) << w->LastError();
  TPluRec p{};
  p.Cod = 12345678901234;
  p.Nume = "Apa";
  p.NumeAditional = "plata 2L";
  p.CodDep = 2;
  p.CodUM = 1;
  p.Pret1 = 3.5;
  p.Pret2 = 7.25;
  p.LinkPLU = 3;
  ASSERT_TRUE(w->SendRecord(rkPlu, &p)) << w->LastError();
  TCasierRec c{};
  c.Cod = 9;
  c.Nume = "Maria";
  c.O1 = 1;
  c.Parola = "00000042";
  ASSERT_TRUE(w->SendRecord(rkCasier, &c)) << w->LastError();
  TCursRec r{};
  r.Cod = 3;
  r.Nume = "GBP";
  r.Prefix = "L";
  r.rata = 57000;
  ASSERT_TRUE(w->SendRecord(rkCurs, &r)) << w->LastError();
  TFormaPlataRec fp{};
  fp.Cod = 2;
  fp.Nume = "CARD BANCAR";
  fp.O1 = 1;
  fp.S = 5;
  fp.ODS = 6;
  ASSERT_TRUE(w->SendRecord(rkFormaPlata, &fp)) << w->LastError();
  TSORec so{};
  so.Cod = 5;
  for (int i = 0; i < 32; ++i) so.P[i] = i % 2;
  ASSERT_TRUE(w->SendRecord(rkSO, &so)) << w->LastError();
  TSPRec sp{};
  sp.Cod = 9;
  for (int i = 0; i < 32; ++i) sp.P[i] = 100 + i;
  ASSERT_TRUE(w->SendRecord(rkSP, &sp)) << w->LastError();
  w.reset();

  auto f = Row(ReadOk("D5000"), "21");
  ASSERT_EQ(f.size(), 19u);
  EXPECT_EQ(f[2], "\"Legume\"");
  EXPECT_EQ((std::vector<std::string>{f[3], f[5], f[7], f[8], f[10]}),
            (std::vector<std::string>{"2", "4", "1", "1256", "2"}));

  f = Row(ReadOk("D260"), "4");
  ASSERT_EQ(f.size(), 9u);
  EXPECT_EQ((std::vector<std::string>{f[2], f[3], f[5], f[7], f[8]}),
            (std::vector<std::string>{"\"D\"", "1100", "3", "7", "8"}));

  f = Row(ReadOk("D10000"), "12345678901234");
  ASSERT_EQ(f.size(), 46u);
  EXPECT_EQ((std::vector<std::string>{f[2], f[3], f[4], f[6], f[7], f[8], f[28]}),
            (std::vector<std::string>{"\"Apa\"", "\"plata 2L\"", "2", "1", "3.50", "7.25", "3"}));

  f = Row(ReadOk("D2000"), "9");
  ASSERT_EQ(f.size(), 8u);
  EXPECT_EQ((std::vector<std::string>{f[2], f[3], f[4], f[5]}),
            (std::vector<std::string>{"\"Maria\"", "1", "0", "00000042"}));

  f = Row(ReadOk("D1200"), "3");
  ASSERT_EQ(f.size(), 10u);
  EXPECT_EQ((std::vector<std::string>{f[2], f[3], f[4]}),
            (std::vector<std::string>{"\"GBP\"", "\"L\"", "57000"}));

  f = Row(ReadOk("D700"), "2");
  ASSERT_EQ(f.size(), 10u);
  EXPECT_EQ(f[2], "\"CARD BANCAR\"");
  EXPECT_EQ((std::vector<std::string>{f[3], f[8], f[9]}), (std::vector<std::string>{"1", "5", "6"}));

  f = Row(ReadOk("D17"), "5");
  ASSERT_EQ(f.size(), 34u);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(f[size_t(2 + i)], std::to_string(i % 2));
  f = Row(ReadOk("D16"), "9");
  ASSERT_EQ(f.size(), 34u);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(f[size_t(2 + i)], std::to_string(100 + i));
}

TEST_F(WriteTest, PluUploadWithDeletionClosingCommandAndEraseAll) {
  auto w = Link(true);
  TPluRec p{};
  p.Cod = 77;
  p.Nume = "NOU";
  p.CodDep = 1;
  p.Nou = true;
  ASSERT_TRUE(w->SendRecord(rkPlu, &p)) << w->LastError();
  TPluRec gone{};
  gone.Cod = 2;  // a PLU of the fresh register
  gone.Sters = true;
  ASSERT_TRUE(w->SendRecord(rkPlu, &gone)) << w->LastError();
  EXPECT_TRUE(w->SendCommand("CPB"));
  // Read on the same link: the command is not awaited, so only the order on
  // the line tells that the register had it before the read.
  TLineList plus;
  ASSERT_TRUE(w->ReadLines("D10000", plus)) << w->LastError();
  EXPECT_FALSE(Row(plus, "77").empty());
  EXPECT_TRUE(Row(plus, "2").empty());
  EXPECT_FALSE(Row(plus, "1").empty());
  w.reset();

  auto r = Link(false);
  EXPECT_TRUE(r->SendCommand("CPX"));
  TLineList none;
  EXPECT_TRUE(r->ReadLines("D10000", none)) << r->LastError();
  EXPECT_TRUE(none.empty());  // a final frame alone: success, no lines
  r.reset();
  EXPECT_EQ(FSim.WithEngine([](Sim::TEngine &e) { return e.BareCommands; }),
            (std::vector<std::string>{"CPB", "CPX"}));
}

TEST_F(WriteTest, ARefusedRecordStopsTheUploadWithTheRegistersReason) {
  // The register refuses the third record. The refusal ends the write at
  // once (the program's own five-second silence is never waited out) and
  // LastError carries the register's text.
  Sim::TFaults f;
  f.RefuseWrite = 3;
  f.RefuseCode = 136;
  Faults(f);
  auto w = Link(true, 5000);
  int tries = 0;
  bool ok = true;
  const auto t0 = std::chrono::steady_clock::now();
  for (int32_t cod = 1; cod <= 5 && ok; ++cod) {
    TDeptRec d{};
    d.Cod = cod;
    d.Nume = "NOU " + std::to_string(cod);
    d.UM = 1;
    d.TVA = 1;
    ++tries;
    ok = w->SendRecord(rkDept, &d);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(2500));
  EXPECT_EQ(tries, 3);
  EXPECT_FALSE(ok);
  EXPECT_EQ(w->LastError(), "Lipsa cota TVA asociata PLU / Dept");
  w.reset();
  EXPECT_EQ(FSim.Stats().Records, 3u);
  const auto depts = ReadOk("D5000");
  EXPECT_EQ(Row(depts, "2")[2], "\"NOU 2\"");
  EXPECT_EQ(Row(depts, "3")[2], "\"DEPARTAMENT 3\"");  // refused: unchanged
  EXPECT_EQ(FSim.Stats().Refused, 1u);
  ExpectPortFree();
}

TEST_F(WriteTest, AMalformedRecordIsRefusedAndChangesNothing) {
  const auto before = ReadOk("D1200");
  auto w = Link(true);
  // Wrong field count, a non-numeric rate, an unknown table, a code out of range.
  const std::pair<const char *, const char *> cases[] = {
      {"U1200;1;\"EURO\";\"E\";", "Intrare invalida"},
      {"U1200;1;\"EURO\";\"E\";4x;", "Intrare invalida"},
      {"U4321;1;\"EURO\";\"E\";5;", "Functie invalida"},
      {"U1200;99;\"EURO\";\"E\";5;", "Articol invalid"},
  };
  for (const auto &[text, reason] : cases) {
    EXPECT_FALSE(w->SendText(text)) << text;
    EXPECT_EQ(w->LastError(), reason) << text;
  }
  w.reset();
  EXPECT_EQ(ReadOk("D1200"), before);
  EXPECT_EQ(FSim.Stats().Refused, 4u);
}
