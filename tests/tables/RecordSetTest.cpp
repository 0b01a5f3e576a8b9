#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "RecordSet.h"

namespace {

TRecordSet CodeTable() {
  return TRecordSet({{"Cod", ftInteger, 0}, {"Tag", ftString, 10}, {"Pret", ftFloat, 0}, {"Nou", ftBoolean, 0}});
}

void Add(TRecordSet &rs, int32_t cod, const std::string &tag) {
  rs.Append();
  rs.SetInteger("Cod", cod);
  rs.SetString("Tag", tag);
  rs.Post();
}

// Walks the set the way every editor does and collects "Cod:Tag".
std::vector<std::string> Walk(TRecordSet &rs) {
  std::vector<std::string> out;
  for (rs.First(); !rs.Eof(); rs.Next())
    out.push_back((rs.IsNull("Cod") ? std::string("-") : rs.AsString("Cod")) + ":" + rs.AsString("Tag"));
  return out;
}

}  // namespace

TEST(RecordSet, IndexKeepsAscendingCodesAndArrivalOrderForEqualCodes) {
  TRecordSet rs = CodeTable();
  Add(rs, 3, "a");
  Add(rs, 1, "b");
  Add(rs, 3, "c");
  Add(rs, 2, "d");
  Add(rs, 1, "e");
  rs.Append();  // a row whose code was never set sorts first
  rs.SetString("Tag", "n");
  rs.Post();
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"-:n", "1:b", "1:e", "2:d", "3:a", "3:c"}));
  EXPECT_EQ(rs.RecordCount(), 6);

  // A changed code moves the row behind the rows already carrying it, and the
  // row stays current so the caller keeps working on it.
  ASSERT_TRUE(rs.FindKey(3));
  EXPECT_EQ(rs.AsString("Tag"), "a");
  rs.SetInteger("Cod", 1);
  rs.Post();
  EXPECT_EQ(rs.AsString("Tag"), "a");
  EXPECT_EQ(rs.RecNo(), 4);
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"-:n", "1:b", "1:e", "1:a", "2:d", "3:c"}));

  // A change that keeps the code leaves the row where it is.
  ASSERT_TRUE(rs.FindKey(1));
  rs.SetString("Tag", "B");
  rs.Post();
  EXPECT_EQ(rs.RecNo(), 2);
}

TEST(RecordSet, SetWithoutCodKeepsAppendOrder) {
  TRecordSet rs({{"Port", ftInteger, 0}, {"Baud", ftInteger, 0}});
  EXPECT_FALSE(rs.Indexed());
  for (int p : {12, 3, 7}) {
    rs.Append();
    rs.SetInteger("port", p);
    rs.Post();
  }
  std::vector<int> ports;
  for (rs.First(); !rs.Eof(); rs.Next()) ports.push_back(rs.AsInteger("PORT"));
  EXPECT_EQ(ports, (std::vector<int>{12, 3, 7}));
  EXPECT_FALSE(rs.FindKey(3));
}

TEST(RecordSet, EmptyValuesReadAsZeroAndBlank) {
  TRecordSet rs = CodeTable();
  // Reading an empty set gives empty values rather than failing.
  EXPECT_TRUE(rs.IsNull("Tag"));
  EXPECT_EQ(rs.AsInteger("Cod"), 0);
  rs.Append();
  rs.Post();
  for (const char *f : {"Cod", "Tag", "Pret", "Nou"}) EXPECT_TRUE(rs.IsNull(f)) << f;
  EXPECT_EQ(rs.AsInteger("Cod"), 0);
  EXPECT_EQ(rs.AsFloat("Pret"), 0.0);
  EXPECT_FALSE(rs.AsBoolean("Nou"));
  EXPECT_EQ(rs.AsString("Tag"), "");
  EXPECT_EQ(rs.AsString("Cod"), "");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(rs.Value("Pret")));

  // An empty text is a value; clearing and blank text into a number empty it.
  rs.SetString("Tag", "");
  rs.SetInteger("Cod", 5);
  rs.Post();
  EXPECT_FALSE(rs.IsNull("Tag"));
  rs.SetString("Cod", "  ");
  EXPECT_TRUE(rs.IsNull("Cod"));
  rs.SetInteger("Cod", 5);
  rs.Clear("Cod");
  EXPECT_TRUE(rs.IsNull("Cod"));
}

TEST(RecordSet, FieldNamesIgnoreLetterCase) {
  TRecordSet rs = CodeTable();
  EXPECT_EQ(rs.FieldIndex("cod"), 0);
  EXPECT_EQ(rs.FieldIndex("TAG"), 1);
  EXPECT_EQ(rs.FieldIndex("Tags"), -1);
  try {
    rs.AsInteger("Lipsa");
    FAIL() << "unknown field accepted";
  } catch (const ERecordSet &e) {
    EXPECT_NE(std::string(e.what()).find("Lipsa"), std::string::npos);
  }
  EXPECT_THROW(TRecordSet({{"Cod", ftInteger, 0}, {"COD", ftFloat, 0}}), ERecordSet);
  EXPECT_THROW(TRecordSet({{"Nume", ftString, 0}}), ERecordSet);
  EXPECT_THROW(TRecordSet({{"", ftInteger, 0}}), ERecordSet);
}

TEST(RecordSet, TextKeepsEveryByteAndIsCutAtItsSize) {
  TRecordSet rs = CodeTable();
  const std::string bytes("\x00\xEA\xFF\x01 x", 6);
  rs.Append();
  rs.SetString("Tag", bytes);
  rs.Post();
  EXPECT_EQ(rs.AsString("Tag"), bytes);
  rs.SetString("Tag", "0123456789ABCDEF");
  rs.Post();
  EXPECT_EQ(rs.AsString("Tag"), "0123456789");
  rs.SetInteger("Tag", -2147483647 - 1);  // numbers written to text are cut as well
  EXPECT_EQ(rs.AsString("Tag"), "-214748364");
}

TEST(RecordSet, ConversionsBetweenTypes) {
  TRecordSet rs = CodeTable();
  rs.Append();
  rs.SetString("Pret", "12,5");
  EXPECT_DOUBLE_EQ(rs.AsFloat("Pret"), 12.5);
  EXPECT_EQ(rs.AsString("Pret"), "12,5");
  rs.SetString("Pret", "0.25");
  EXPECT_DOUBLE_EQ(rs.AsFloat("Pret"), 0.25);
  EXPECT_EQ(rs.AsInteger("Pret"), 0);
  rs.SetFloat("Pret", 2.5);
  EXPECT_EQ(rs.AsInteger("Pret"), 3);  // rounded half away from zero
  rs.SetFloat("Pret", 99999999999999.0);
  EXPECT_EQ(rs.AsString("Pret"), "99999999999999");
  // A 14-digit code does not fit an integer: refused, never wrapped around.
  EXPECT_THROW(rs.AsInteger("Pret"), ERecordSet);
  rs.SetFloat("Cod", 7.4);
  EXPECT_EQ(rs.AsInteger("Cod"), 7);
  EXPECT_THROW(rs.SetFloat("Cod", 3e9), ERecordSet);
  EXPECT_THROW(rs.SetString("Cod", "12a"), ERecordSet);
  EXPECT_THROW(rs.SetString("Pret", "inf"), ERecordSet);
  EXPECT_THROW(rs.SetFloat("Pret", std::nan("")), ERecordSet);
  EXPECT_THROW(rs.SetFloat("Pret", std::numeric_limits<double>::infinity()), ERecordSet);
  EXPECT_DOUBLE_EQ(rs.AsFloat("Pret"), 99999999999999.0);  // failed sets change nothing
  rs.SetString("Nou", "true");
  EXPECT_TRUE(rs.AsBoolean("Nou"));
  EXPECT_EQ(rs.AsString("Nou"), "True");
  rs.SetInteger("Nou", 0);
  EXPECT_FALSE(rs.AsBoolean("Nou"));
  EXPECT_THROW(rs.SetString("Nou", "da"), ERecordSet);
  rs.SetString("Tag", "x");
  EXPECT_THROW(rs.AsInteger("Tag"), ERecordSet);
}

TEST(RecordSet, EditAppendCancelAndNotifications) {
  TRecordSet rs = CodeTable();
  int newRows = 0;
  rs.OnNewRecord = [&](TRecordSet &s) {
    ++newRows;
    s.SetString("Tag", "nou");
    s.SetBoolean("Nou", true);
  };
  std::vector<int> changes;
  rs.OnDataChange = [&](TRecordSet &, int field) { changes.push_back(field); };
  std::vector<bool> scrolledToNew;  // what an after-scroll handler sees
  rs.AfterScroll = [&](TRecordSet &s) { scrolledToNew.push_back(s.AsBoolean("Nou")); };

  rs.Append();
  EXPECT_EQ(scrolledToNew, (std::vector<bool>{true}));
  EXPECT_EQ(rs.State(), dsInsert);
  EXPECT_EQ(rs.RecordCount(), 0);  // not posted yet
  EXPECT_EQ(rs.AsString("Tag"), "nou");
  rs.SetInteger("Cod", 4);
  rs.Post();
  EXPECT_EQ(newRows, 1);
  EXPECT_EQ(rs.RecordCount(), 1);

  rs.Append();
  rs.Cancel();
  EXPECT_EQ(rs.RecordCount(), 1);
  rs.Append();
  rs.Delete();  // deleting a row being appended only drops it
  EXPECT_EQ(rs.RecordCount(), 1);

  // A setter while browsing edits the current row; Cancel brings it back.
  rs.SetString("Tag", "schimbat");
  EXPECT_EQ(rs.State(), dsEdit);
  rs.Cancel();
  EXPECT_EQ(rs.AsString("Tag"), "nou");
  // Moving posts a pending change.
  rs.SetString("Tag", "mutat");
  rs.First();
  EXPECT_EQ(rs.State(), dsBrowse);
  EXPECT_EQ(rs.AsString("Tag"), "mutat");

  // While controls are disabled nothing is reported; enabling reports once.
  changes.clear();
  rs.DisableControls();
  rs.DisableControls();
  Add(rs, 9, "x");
  rs.EnableControls();
  EXPECT_TRUE(changes.empty());
  rs.EnableControls();
  EXPECT_EQ(changes, (std::vector<int>{-1}));
  changes.clear();
  rs.SetString("Tag", "y");
  EXPECT_EQ(changes, (std::vector<int>{1}));

  // A failing new-row handler leaves no half-made row behind.
  rs.OnNewRecord = [](TRecordSet &) { throw ERecordSet("refuz"); };
  EXPECT_THROW(rs.Append(), ERecordSet);
  EXPECT_EQ(rs.State(), dsBrowse);
  EXPECT_EQ(rs.RecordCount(), 2);
}

TEST(RecordSet, DeleteOrMoveOnLoopVisitsEveryRowOnce) {
  // The PLU programming run: delete marked rows, step over the others, until
  // past the last row. Deleting the last row must end the loop.
  TRecordSet rs = CodeTable();
  for (int c = 1; c <= 6; ++c) {
    Add(rs, c, "r" + std::to_string(c));
    rs.SetBoolean("Nou", c % 2 == 0 || c == 5);  // 2, 4, 5, 6 marked
    rs.Post();
  }
  std::vector<int> seen;
  rs.First();
  while (!rs.Eof()) {
    seen.push_back(rs.AsInteger("Cod"));
    if (rs.AsBoolean("Nou")) rs.Delete();
    else rs.Next();
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"1:r1", "3:r3"}));
  rs.Last();
  rs.Delete();
  rs.Delete();
  EXPECT_TRUE(rs.IsEmpty());
  EXPECT_TRUE(rs.Eof());
  EXPECT_TRUE(rs.Bof());
  EXPECT_EQ(rs.RecNo(), 0);
  EXPECT_THROW(rs.Delete(), ERecordSet);
  EXPECT_THROW(rs.Edit(), ERecordSet);
}

TEST(RecordSet, NavigationFindAndLocate) {
  TRecordSet rs = CodeTable();
  Add(rs, 10, "a");
  Add(rs, 20, "b");
  Add(rs, 20, "c");
  Add(rs, 30, "d");
  rs.First();
  EXPECT_TRUE(rs.Bof());
  rs.Prior();
  EXPECT_EQ(rs.RecNo(), 1);
  rs.Last();
  EXPECT_TRUE(rs.Eof());
  EXPECT_EQ(rs.AsString("Tag"), "d");
  rs.Next();
  EXPECT_EQ(rs.RecNo(), 4);

  EXPECT_TRUE(rs.FindKey(20));
  EXPECT_EQ(rs.AsString("Tag"), "b");  // the first of equal codes
  EXPECT_FALSE(rs.Eof());
  EXPECT_FALSE(rs.FindKey(25));
  EXPECT_EQ(rs.AsString("Tag"), "b");  // position kept
  EXPECT_TRUE(rs.Locate("tag", std::string("c")));
  EXPECT_EQ(rs.RecNo(), 3);
  EXPECT_TRUE(rs.Locate("Cod", 30.0));
  EXPECT_EQ(rs.AsString("Tag"), "d");
  EXPECT_FALSE(rs.Locate("Tag", std::string("z")));

  rs.SetRecNo(2);
  EXPECT_EQ(rs.AsString("Tag"), "b");
  EXPECT_THROW(rs.SetRecNo(5), ERecordSet);
  EXPECT_EQ(std::get<std::string>(rs.ValueAt(4, 1)), "d");
  EXPECT_EQ(rs.RecNo(), 2);  // ValueAt does not move
  EXPECT_THROW(rs.ValueAt(0, 1), ERecordSet);
}

TEST(RecordSet, CopiesAreIndependentAndAssignmentKeepsNotifications) {
  TRecordSet rs = CodeTable();
  Add(rs, 1, "a");
  TRecordSet copy = rs;
  copy.SetString("Tag", "b");
  copy.Post();
  Add(copy, 2, "c");
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"1:a"}));
  EXPECT_EQ(Walk(copy), (std::vector<std::string>{"1:b", "2:c"}));

  // A window that reloads its table keeps its handlers on the new one.
  int news = 0;
  rs.OnNewRecord = [&](TRecordSet &) { ++news; };
  rs = std::move(copy);
  EXPECT_EQ(copy.FieldCount(), 0);  // moved-from: empty, still usable
  EXPECT_TRUE(copy.IsEmpty());
  copy.First();
  rs.Append();
  rs.Cancel();
  rs = TRecordSet(rs);
  rs.Append();
  rs.Cancel();
  EXPECT_EQ(news, 2);
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"1:b", "2:c"}));
}

TEST(RecordSet, ManyInsertsDeletesAndCodeChangesMatchASimpleModel) {
  // Thousands of rows in random code order go through the block storage's
  // splits and merges; a plain vector with the same rules is the reference.
  TRecordSet rs = CodeTable();
  std::vector<std::pair<int, std::string>> model;
  auto modelInsert = [&](int cod, const std::string &tag) {
    auto at = std::upper_bound(model.begin(), model.end(), cod,
                               [](int c, const std::pair<int, std::string> &x) { return c < x.first; });
    const auto it = model.insert(at, {cod, tag});
    return int(it - model.begin());
  };
  uint32_t seed = 12345;
  auto rnd = [&](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
  };
  for (int step = 0; step < 6000; ++step) {
    const uint32_t what = rnd(10);
    if (what < 6 || model.empty()) {
      const int cod = int(rnd(700));
      const std::string tag = std::to_string(step);
      Add(rs, cod, tag);
      const int at = modelInsert(cod, tag);
      ASSERT_EQ(rs.RecNo(), at + 1) << "step " << step;
    } else if (what < 8) {
      const int recNo = int(rnd(uint32_t(model.size()))) + 1;
      rs.SetRecNo(recNo);
      rs.Delete();
      model.erase(model.begin() + recNo - 1);
      if (!model.empty()) {
        ASSERT_EQ(rs.AsString("Tag"), model[std::min<size_t>(recNo - 1, model.size() - 1)].second);
      }
    } else {
      const int recNo = int(rnd(uint32_t(model.size()))) + 1;
      const int cod = int(rnd(700));
      rs.SetRecNo(recNo);
      rs.SetInteger("Cod", cod);
      rs.Post();
      auto row = model[recNo - 1];
      if (row.first != cod) {
        model.erase(model.begin() + recNo - 1);
        row.first = cod;
        ASSERT_EQ(rs.RecNo(), modelInsert(cod, row.second) + 1) << "step " << step;
      }
    }
  }
  ASSERT_EQ(rs.RecordCount(), int(model.size()));
  std::vector<std::string> want;
  for (const auto &[cod, tag] : model) want.push_back(std::to_string(cod) + ":" + tag);
  EXPECT_EQ(Walk(rs), want);
  TFilteredCursor low(rs, "Cod < 350");
  EXPECT_EQ(low.RecordCount(), int(std::count_if(model.begin(), model.end(), [](auto &x) { return x.first < 350; })));

  // Emptying whole blocks, from the middle outwards.
  while (!model.empty()) {
    const int recNo = int(model.size() / 2) + 1;
    rs.SetRecNo(recNo);
    ASSERT_EQ(rs.AsString("Tag"), model[recNo - 1].second);
    rs.Delete();
    model.erase(model.begin() + recNo - 1);
  }
  EXPECT_TRUE(rs.IsEmpty());
  EXPECT_TRUE(low.IsEmpty());
  Add(rs, 1, "again");
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"1:again"}));
}
