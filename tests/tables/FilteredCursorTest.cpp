#include <gtest/gtest.h>

#include "RecordSet.h"

namespace {

TRecordSet Plu(std::initializer_list<double> codes) {
  TRecordSet rs({{"Cod", ftFloat, 0}, {"CodDep", ftInteger, 0}, {"Nume", ftString, 50}});
  for (double c : codes) {
    rs.Append();
    rs.SetFloat("Cod", c);
    rs.SetInteger("CodDep", int32_t(c) % 3);
    rs.Post();
  }
  return rs;
}

std::vector<double> Codes(TFilteredCursor &c) {
  std::vector<double> out;
  for (c.First(); !c.Eof(); c.Next()) out.push_back(c.AsFloat("cod"));
  return out;
}

}  // namespace

TEST(FilteredCursor, NewPluNumberFollowsHighestShortCode) {
  TRecordSet rs = Plu({5, 9, 123456789});
  TFilteredCursor shortCodes(rs, "COD <= 10000");
  // The editor's new-row handler: highest short code + 1.
  rs.OnNewRecord = [&](TRecordSet &s) {
    shortCodes.Last();
    const double top = shortCodes.IsEmpty() ? 0 : shortCodes.AsFloat("Cod");
    s.SetFloat("Cod", top + 1);
  };
  rs.Append();
  EXPECT_EQ(rs.AsFloat("Cod"), 10);
  rs.Post();
  rs.Append();  // the cursor sees the row posted a moment ago
  EXPECT_EQ(rs.AsFloat("Cod"), 11);
  rs.Cancel();
  EXPECT_EQ(Codes(shortCodes), (std::vector<double>{5, 9, 10}));

  rs.EmptyTable();
  rs.Append();
  EXPECT_EQ(rs.AsFloat("Cod"), 1);
}

TEST(FilteredCursor, EveryOperatorOnIndexAndOtherFields) {
  // Codes 1..6 with one empty code and duplicates of 3; CodDep = code % 3.
  TRecordSet rs = Plu({1, 2, 3, 3, 4, 5, 6});
  rs.Append();
  rs.SetString("Nume", "fara cod");
  rs.Post();
  struct {
    const char *Filter;
    std::vector<double> Want;
  } cases[] = {
      {"COD = 3", {3, 3}},        {"cod <> 3", {1, 2, 4, 5, 6}}, {"Cod < 3", {1, 2}},
      {"Cod<=3", {1, 2, 3, 3}},   {"  cod >   4 ", {5, 6}},       {"COD >= 4.5", {5, 6}},
      {"COD >= -1", {1, 2, 3, 3, 4, 5, 6}},                     {"COD = 7", {}},
      {"CodDep = 0", {3, 3, 6}},  {"coddep <> 0", {1, 2, 4, 5}}, {"CODDEP < 1", {3, 3, 6}},
      {"CodDep <= 1", {1, 3, 3, 4, 6}},                          {"CodDep > 1", {2, 5}},
      {"CodDep >= 2", {2, 5}},
  };
  for (const auto &c : cases) {
    TFilteredCursor cur(rs, c.Filter);
    EXPECT_EQ(Codes(cur), c.Want) << c.Filter;
    EXPECT_EQ(cur.RecordCount(), int(c.Want.size())) << c.Filter;
  }
}

TEST(FilteredCursor, BadFilterTextIsAClearError) {
  TRecordSet rs = Plu({1});
  for (const char *f : {"", "COD", "COD <=", "COD <= abc", "COD => 5", "Nume = 1", "Pret = 1",
                        "COD <= 10000 AND COD > 1", "COD <= 1,5", "1 = COD", "COD == 1"}) {
    try {
      TFilteredCursor c(rs, f);
      ADD_FAILURE() << "accepted: " << f;
    } catch (const ERecordSet &e) {
      EXPECT_NE(std::string(e.what()).find(std::string("\"") + f + "\""), std::string::npos) << e.what();
    }
  }
}

TEST(FilteredCursor, MovesAndSurvivesItsSet) {
  auto rs = std::make_unique<TRecordSet>(Plu({1, 2, 3, 20000}));
  TFilteredCursor c(*rs, "COD <= 10000");
  EXPECT_FALSE(c.Eof());
  c.Last();
  EXPECT_TRUE(c.Eof());
  EXPECT_EQ(c.AsFloat("Cod"), 3);
  c.Prior();
  EXPECT_EQ(c.AsFloat("Cod"), 2);
  c.First();
  c.Prior();
  EXPECT_TRUE(c.Bof());
  EXPECT_EQ(c.AsFloat("Cod"), 1);
  EXPECT_THROW(c.AsFloat("Lipsa"), ERecordSet);

  // Rows removed under the cursor: it stays within what is left.
  rs->Last();
  rs->Prior();
  rs->Delete();  // code 3
  c.Last();
  EXPECT_EQ(c.AsFloat("Cod"), 2);
  rs.reset();  // the editor releases the table; a stray cursor must not crash
  EXPECT_EQ(c.RecordCount(), 2);
}
