// Write records built exactly as the link builds them, then read back in the
// layout the editors read: the positions here are the ones the readers use.
#include <gtest/gtest.h>

#include "RecordText.h"
#include "RegisterTables.h"
#include "SimTestUtil.h"

using namespace Sim;
using SimTest::Split;

namespace {

std::vector<std::string> Read(const TRegisterTables &t, const char *cmd) {
  std::vector<std::string> lines;
  EXPECT_TRUE(t.ReadTable(cmd, lines));
  return lines;
}

// The read line whose code field (position 1) is cod.
std::vector<std::string> Row(const TRegisterTables &t, const char *cmd, const std::string &cod) {
  for (const std::string &line : Read(t, cmd)) {
    auto f = Split(line);
    if (f.size() > 1 && f[1] == cod) return f;
  }
  return {};
}

// A block record: head, then n values each followed by ';'.
std::string Block(std::string head, int n) {
  for (int i = 0; i < n; ++i) head += "0;";
  return head;
}

}  // namespace

TEST(Tables, FreshRegisterLinesHaveTheFieldCountsTheReadersDemand) {
  TRegisterTables t;
  const std::pair<const char *, size_t> tables[] = {
      {"D5000", 19}, {"D260", 9}, {"D10000", 46}, {"D2000", 8},
      {"D1200", 10}, {"D700", 10}, {"D16", 34},   {"D17", 34}};
  for (auto [cmd, fields] : tables) {
    const auto lines = Read(t, cmd);
    ASSERT_FALSE(lines.empty()) << cmd;
    for (const auto &line : lines) EXPECT_EQ(Split(line).size(), fields) << cmd << ": " << line;
  }
  EXPECT_EQ(Read(t, "D5000").size(), 20u);
  EXPECT_EQ(Read(t, "D260").size(), 6u);
  EXPECT_EQ(Read(t, "D2000").size(), 8u);
  EXPECT_EQ(Read(t, "D16").size(), 8u);
  EXPECT_EQ(Read(t, "D17").size(), 16u);
  std::vector<std::string> none;
  EXPECT_FALSE(t.ReadTable("D999", none));
}

TEST(Tables, DepartmentAndVatRoundTrip) {
  TRegisterTables t;
  TDeptRec d{};
  d.Cod = 25;
  d.Nume = "Paine";
  d.UM = 2;
  d.O1 = 4;
  d.L = 7;
  d.P1 = 1256;
  d.TVA = 3;
  ASSERT_EQ(t.Write(BuildRecordText(rkDept, &d)), RE_Ok);
  auto f = Row(t, "D5000", "25");
  ASSERT_EQ(f.size(), 19u);
  EXPECT_EQ(f[2], "\"Paine\"");
  EXPECT_EQ(f[3], "2");
  EXPECT_EQ(f[5], "4");
  EXPECT_EQ(f[7], "7");
  EXPECT_EQ(f[8], "1256");
  EXPECT_EQ(f[10], "3");
  EXPECT_EQ(Read(t, "D5000").size(), 21u);

  // The VAT record does not carry O2: the register keeps the one it has.
  TTvaRec v{};
  v.Cod = 2;
  v.Nume = "B";
  v.Cota = 1100;
  v.Exceptat = 1;
  v.O1 = 9;
  v.O2 = 77;
  v.P1 = 5;
  v.P2 = 6;
  const std::string before = Row(t, "D260", "2")[6];
  ASSERT_EQ(t.Write(BuildRecordText(rkTva, &v)), RE_Ok);
  f = Row(t, "D260", "2");
  ASSERT_EQ(f.size(), 9u);
  EXPECT_EQ(f[2], "\"B\"");
  EXPECT_EQ(f[3], "1100");
  EXPECT_EQ(f[4], "1");
  EXPECT_EQ(f[5], "9");
  EXPECT_EQ(f[6], before);
  EXPECT_EQ(f[7], "5");
  EXPECT_EQ(f[8], "6");
}

TEST(Tables, PluRoundTripDeleteAndErase) {
  TRegisterTables t;
  TPluRec p{};
  p.Cod = 5941234567891;
  p.Nume = "Apa";
  p.NumeAditional = "plata";
  p.CodDep = 2;
  p.CodUM = 1;
  p.Pret1 = 3.5;
  p.Pret2 = 12.25;
  p.LinkPLU = 17;
  ASSERT_EQ(t.Write(BuildRecordText(rkPlu, &p)), RE_Ok);
  auto f = Row(t, "D10000", "5941234567891");
  ASSERT_EQ(f.size(), 46u);
  EXPECT_EQ(f[2], "\"Apa\"");
  EXPECT_EQ(f[3], "\"plata\"");
  EXPECT_EQ(f[4], "2");
  EXPECT_EQ(f[6], "1");
  EXPECT_EQ(f[7], "3.50");  // the register writes a point; readers turn it into a comma
  EXPECT_EQ(f[8], "12.25");
  EXPECT_EQ(f[28], "17");

  // A second write of the same code replaces the article.
  p.Pret1 = 4;
  ASSERT_EQ(t.Write(BuildRecordText(rkPlu, &p)), RE_Ok);
  EXPECT_EQ(Row(t, "D10000", "5941234567891")[7], "4.00");

  p.Sters = true;
  const size_t count = t.Plus.size();
  ASSERT_EQ(t.Write(BuildRecordText(rkPlu, &p)), RE_Ok);
  EXPECT_EQ(t.Plus.size(), count - 1);
  EXPECT_TRUE(Row(t, "D10000", "5941234567891").empty());
  // Deleting it again is no error: an upload that repeats a deletion goes on.
  EXPECT_EQ(t.Write(BuildRecordText(rkPlu, &p)), RE_Ok);

  t.EraseAllPlus();
  EXPECT_TRUE(Read(t, "D10000").empty());
}

TEST(Tables, CashierRateAndPaymentFormRoundTrip) {
  TRegisterTables t;
  TCasierRec c{};
  c.Cod = 9;
  c.Nume = "Ana";
  c.O1 = 1;
  c.O2 = 2;
  c.Parola = "00000042";
  ASSERT_EQ(t.Write(BuildRecordText(rkCasier, &c)), RE_Ok);
  auto f = Row(t, "D2000", "9");
  ASSERT_EQ(f.size(), 8u);
  EXPECT_EQ(f[2], "\"Ana\"");
  EXPECT_EQ(f[3], "1");
  EXPECT_EQ(f[4], "2");
  EXPECT_EQ(f[5], "00000042");

  TCursRec r{};
  r.Cod = 2;
  r.Nume = "USD";
  r.Prefix = "$";
  r.rata = 46000;
  ASSERT_EQ(t.Write(BuildRecordText(rkCurs, &r)), RE_Ok);
  f = Row(t, "D1200", "2");
  ASSERT_EQ(f.size(), 10u);
  EXPECT_EQ(f[2], "\"USD\"");
  EXPECT_EQ(f[3], "\"$\"");
  EXPECT_EQ(f[4], "46000");

  TFormaPlataRec p{};
  p.Cod = 3;
  p.Nume = "CEC";
  p.O1 = 1;
  p.O2 = 2;
  p.L = 3;
  p.P1 = 4;
  p.P2 = 5;
  p.S = 6;
  p.ODS = -7;
  ASSERT_EQ(t.Write(BuildRecordText(rkFormaPlata, &p)), RE_Ok);
  f = Row(t, "D700", "3");
  ASSERT_EQ(f.size(), 10u);
  EXPECT_EQ(f[2], "\"CEC\"");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(f[size_t(3 + i)], std::to_string(i + 1));
  EXPECT_EQ(f[9], "-7");
}

TEST(Tables, ParameterAndOptionBlocksRoundTrip) {
  TRegisterTables t;
  TSPRec sp{};
  sp.Cod = 9;  // beyond the blocks a fresh register has
  for (int i = 0; i < 32; ++i) sp.P[i] = i * 3 - 4;
  ASSERT_EQ(t.Write(BuildRecordText(rkSP, &sp)), RE_Ok);
  auto f = Row(t, "D16", "9");
  ASSERT_EQ(f.size(), 34u);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(f[size_t(2 + i)], std::to_string(i * 3 - 4));

  TSORec so{};
  so.Cod = 16;
  so.P[31] = 1;
  ASSERT_EQ(t.Write(BuildRecordText(rkSO, &so)), RE_Ok);
  f = Row(t, "D17", "16");
  ASSERT_EQ(f.size(), 34u);
  EXPECT_EQ(f[33], "1");
  EXPECT_TRUE(Row(t, "D16", "16").empty());  // the two tables stay apart
}

TEST(Tables, MalformedRecordsAreRefusedAndChangeNothing) {
  TRegisterTables t;
  const std::string deptTail = ";\"X\";1;0;4;0;0;1256;0;1;;;;;;;;;";
  const std::pair<std::string, uint8_t> bad[] = {
      {"U5000;1" + deptTail + ";", RE_InvalidInput},         // one field too many
      {"U5000;1;\"X\";1;0;4;0;0;1256;0;1", RE_InvalidInput},  // trailing fields missing
      {"U5000;1;\"X\";a;0;4;0;0;1256;0;1;;;;;;;;;", RE_InvalidInput},
      {"U5000;100" + deptTail, RE_InvalidItem},
      {"U5000;0" + deptTail, RE_InvalidItem},
      {"U5000;1;\"X\";1;0;4;0;0;1256;0;9;;;;;;;;;", RE_InvalidInput},  // no VAT group 9
      {"U5000;1;\"" + std::string(51, 'N') + "\";1;0;4;0;0;1256;0;1;;;;;;;;;", RE_InputTooLarge},
      {"U260;7;\"A\";1900;0;0;;0;0;", RE_InvalidItem},
      {"U10000;0;\"A\";\"\";1;;1;1,00;0,00;;;;;;;;;;;;;;;;;;;;0", RE_InvalidItem},
      {"U10000;1;\"A\";\"\";1;;1;1,005;0,00;;;;;;;;;;;;;;;;;;;;0", RE_InvalidInput},
      {"U10000;1;\"A\";\"\";1;;1;-1,00;0,00;;;;;;;;;;;;;;;;;;;;0", RE_InvalidInput},
      {"U10000;100000000000000;\"A\";\"\";1;;1;1,00;0,00;;;;;;;;;;;;;;;;;;;;0", RE_InvalidItem},
      {"U10000;-x", RE_InvalidInput},
      {"U10000;--5", RE_InvalidInput},
      {"U2000;1;\"A\";0;0;12ab;", RE_InvalidInput},
      {"U2000;1;\"A\";0;0;123456789;", RE_InputTooLarge},
      {"U1200;1;\"EURO\";\"EUR\";1;", RE_InputTooLarge},
      {"U700;11;\"A\";0;0;0;0;0;0;0;", RE_InvalidItem},
      {Block("U16;17;", 32), RE_InvalidItem},
      {Block("U17;1;", 31), RE_InvalidInput},
      {Block("U17;1;", 31) + "x;", RE_InvalidInput},
      {"U9999;1;2", RE_InvalidFunction},
      {"U", RE_InvalidFunction},
  };
  std::vector<std::string> before[3];
  t.ReadTable("D5000", before[0]);
  t.ReadTable("D10000", before[1]);
  t.ReadTable("D2000", before[2]);
  for (const auto &[record, code] : bad) EXPECT_EQ(t.Write(record), code) << record;
  std::vector<std::string> after[3];
  t.ReadTable("D5000", after[0]);
  t.ReadTable("D10000", after[1]);
  t.ReadTable("D2000", after[2]);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(before[i], after[i]);
}

TEST(Tables, AFullPluFileRefusesNewArticlesButTakesChanges) {
  TRegisterTables t;
  t.PluCapacity = t.Plus.size();
  TPluRec p{};
  p.Cod = 777;
  p.Nume = "NOU";
  p.CodDep = 1;
  EXPECT_EQ(t.Write(BuildRecordText(rkPlu, &p)), RE_PluFileFull);
  p.Cod = 1;  // an article the register has
  EXPECT_EQ(t.Write(BuildRecordText(rkPlu, &p)), RE_Ok);
  EXPECT_EQ(t.Plus.at(1).Nume, "NOU");
}
