// Report commands: the lines the PLU sales layout picks apart, and the Z
// report's reset.
#include <gtest/gtest.h>

#include "Engine.h"
#include "Frame.h"
#include "SimTestUtil.h"

using namespace Sim;
using namespace SimTest;

namespace {

// The PLU sales records of a report, by code: (quantity, value).
std::map<std::string, std::pair<std::string, std::string>> SalesOf(
    const std::vector<std::string> &lines) {
  std::map<std::string, std::pair<std::string, std::string>> out;
  for (const auto &line : lines)
    if (line.rfind("1;1;1;4", 0) == 0) {
      auto f = Split(line);
      EXPECT_GE(f.size(), 17u) << line;
      out[f[4]] = {f[6], f[7]};
    }
  return out;
}

}  // namespace

TEST(Reports, PluSalesLinesCarryTheHeaderAndOneRecordPerArticleSold) {
  TEngine e;
  e.Sales.Clear();
  e.SetReportClock("09-12-2026", "08:15:00");
  ASSERT_TRUE(e.Sales.Sell(e.Tables, 1, 2000, 1, 1));       // 2 x PAINE ALBA at 3.50
  ASSERT_TRUE(e.Sales.Sell(e.Tables, 5, 1500, 2, 2, 10));   // 1.5 kg MERE at 4.50, 10 % off
  ASSERT_TRUE(e.Sales.Sell(e.Tables, 1, 1000, 2, 1));
  EXPECT_FALSE(e.Sales.Sell(e.Tables, 424242, 1000, 1, 1));  // no such PLU

  bool final = false;
  const auto lines = ReadAll(e, "RSX000004", &final);
  ASSERT_TRUE(final);
  ASSERT_GE(lines.size(), 3u);
  const auto head = Split(lines[0]);
  ASSERT_GE(head.size(), 7u);
  EXPECT_EQ(lines[0].rfind("0;0;0;0;6", 0), 0u);
  EXPECT_EQ(head[5], "\"09-12-2026\"");
  EXPECT_EQ(head[6], "\"08:15:00\"");

  const auto sales = SalesOf(lines);
  ASSERT_EQ(sales.size(), 2u);
  EXPECT_EQ(sales.at("1"), std::make_pair(std::string("3.000"), std::string("10.50")));
  EXPECT_EQ(sales.at("5"), std::make_pair(std::string("1.500"), std::string("6.75")));
  for (const auto &line : lines)
    if (line.rfind("1;1;1;4", 0) == 0) {
      auto f = Split(line);
      ASSERT_EQ(f.size(), 18u);
      if (f[4] == "5") {
        EXPECT_EQ(f[5], "\"MERE\"");
        EXPECT_EQ(f[14], "4.50");  // unit price
        EXPECT_EQ(f[16], "0.67");  // discount, in whole hundredths
      }
    }
  // X leaves the sales where they are.
  EXPECT_EQ(SalesOf(ReadAll(e, "RSX000004")), sales);
}

TEST(Reports, ZClearsTheSalesOnlyOnceEveryLineWasTaken) {
  TEngine e;  // starts with the seeded sales
  const auto before = SalesOf(ReadAll(e, "RSX000004"));
  ASSERT_FALSE(before.empty());

  // A Z report that breaks off (no acknowledgement after the first line)
  // resets nothing: the computer did not get the sales.
  TFaults f;
  f.AckTimeoutMs = 10;
  e.SetFaults(f);
  const auto t0 = Clock::now();
  e.Receive(Frame::EncodeRequest("RSZ000004"), t0);
  e.TakeOutput();
  e.OutputSent(t0);
  e.Tick(t0 + std::chrono::milliseconds(20));
  EXPECT_FALSE(e.Busy());
  EXPECT_EQ(SalesOf(ReadAll(e, "RSX000004")), before);

  // Nor does one whose final frame never leaves.
  f = {};
  f.SilentAfterFrame = int(before.size()) + 2;  // header and trailer lines too
  e.SetFaults(f);
  ReadAll(e, "RSZ000004");
  e.SetFaults({});
  EXPECT_EQ(SalesOf(ReadAll(e, "RSX000004")), before);

  const int32_t z = e.Sales.ZNumber;
  bool final = false;
  EXPECT_EQ(SalesOf(ReadAll(e, "RSZ000004", &final)), before);
  EXPECT_TRUE(final);
  EXPECT_TRUE(SalesOf(ReadAll(e, "RSX000004")).empty());
  EXPECT_EQ(e.Sales.ZNumber, z + 1);
}

TEST(Reports, SeededSalesAreTheSameEveryTime) {
  TEngine a, b;
  a.Sales.Clear();
  b.Sales.Clear();
  a.Sales.Seed(a.Tables, 40);
  b.Sales.Seed(b.Tables, 40);
  a.SetReportClock("d", "t");
  b.SetReportClock("d", "t");
  EXPECT_EQ(ReadAll(a, "RSX000004"), ReadAll(b, "RSX000004"));
  int receipts = 0;
  for (const auto &[cod, s] : a.Sales.PluSales) receipts += s.Count;
  EXPECT_EQ(receipts, 40);
}

TEST(Reports, CashierAndDiscountReports) {
  TEngine e;
  e.Sales.Clear();
  ASSERT_TRUE(e.Sales.Sell(e.Tables, 4, 2000, 1, 1));      // 29.98 cash
  ASSERT_TRUE(e.Sales.Sell(e.Tables, 4, 1000, 1, 2, 10));  // 14.99 - 1.49 by card
  ASSERT_TRUE(e.Sales.Sell(e.Tables, 3, 1000, 2, 1));      // 2.75 cash

  auto lines = ReadAll(e, "RSX0001006");
  std::vector<std::string> byForm;
  for (const auto &l : lines)
    if (l.rfind("1;1;1006;", 0) == 0) byForm.push_back(l);
  ASSERT_EQ(byForm.size(), 3u);
  EXPECT_EQ(byForm[0], "1;1;1006;1;\"CASIER 1\";1;\"NUMERAR\";29.98;1");
  EXPECT_EQ(byForm[1], "1;1;1006;1;\"CASIER 1\";2;\"CARD\";13.50;1");

  lines = ReadAll(e, "RSX0001007");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "1;1;1007;1;\"CASIER 1\";29.98;2");
  EXPECT_EQ(lines[2], "1;1;1007;2;\"CASIER 2\";2.75;1");

  lines = ReadAll(e, "RSZ0000009");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "1;1;9;1;\"DISCOUNT %\";1;1.49");
  lines = ReadAll(e, "RSZ0000009");
  EXPECT_EQ(lines[1], "1;1;9;1;\"DISCOUNT %\";0;0.00");  // Z reset the discounts
  // The per-cashier totals are X reports and stay.
  EXPECT_EQ(ReadAll(e, "RSX0001007")[1], "1;1;1007;1;\"CASIER 1\";29.98;2");
}
