// The PLU sales layout, the report table and the file that keeps the lines
// of a broken Z report.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "ReportReader.h"
#include "AtomicFile.h"
#include "ZJournal.h"
#include "PluSalesLayout.h"
#include "ScratchDir.h"

namespace {

const std::string Rule(117, '-');
const std::string Sale17 = "1;1;1;4;17;\"Apa\";2.000;7.00;2;1;2;0;0;0;3.50;1;0.00";  // 17 fields

}  // namespace

TEST(PluSalesLayout, HeaderRuleAndArticleLines) {
  struct TCase {
    const char *Name;
    TLineList In, Out;
  };
  const TCase cases[] = {
      {"no header line: empty first line", {Sale17}, {"", Rule, "17;\"Apa\";2.000;7.00;2;3.50;0.00"}},
      {"no sales line: header and rule",
       {"0;0;0;0;6;\"09-12-2026\";\"08:30:00\";3"},
       {"Raport din data 09-12-2026 ora 08:30:00", Rule}},
      {"quoted and bare date give the same header",
       {"0;0;0;0;6;09-12-2026;08:30:00"},
       {"Raport din data 09-12-2026 ora 08:30:00", Rule}},
      {"a later header replaces an earlier",
       {"0;0;0;0;6;\"01-01-2026\";\"01:00:00\"", Sale17, "0;0;0;0;6;\"02-02-2026\";\"02:00:00\""},
       {"Raport din data 02-02-2026 ora 02:00:00", Rule, "17;\"Apa\";2.000;7.00;2;3.50;0.00"}},
      {"18 fields give eight, quotes kept",
       {Sale17 + ";\"Plata\""},
       {"", Rule, "17;\"Apa\";2.000;7.00;2;3.50;0.00;\"Plata\""}},
      {"19 fields still give eight", {Sale17 + ";x;y"}, {"", Rule, "17;\"Apa\";2.000;7.00;2;3.50;0.00;x"}},
      {"16 fields dropped", {"1;1;1;4;17;a;b;c;d;e;f;g;h;i;j;k"}, {"", Rule}},
      {"only the beginning counts: 1;1;1;40",
       {"1;1;1;40;5;n;q;v;d;e;f;g;h;i;p;j;s"},
       {"", Rule, "5;n;q;v;d;p;s"}},
      {"other lines dropped", {"2;0;0;4;10.000;100.00;3", "1;1;1006;1"}, {"", Rule}},
  };
  for (const TCase &c : cases) {
    TLineList lines = c.In;
    LayOutPluSales(lines);
    EXPECT_EQ(lines, c.Out) << c.Name;
  }
}

// Three Z reads in the same second: each journal has its own name, keeps the
// lines as received, and ends as an archive or a broken read's file without
// ever replacing another; one left behind (a crash) is found once, renamed,
// and nothing is lost.
TEST(ZJournal, LinesAsReceivedUnderNamesThatNeverReplaceEachOther) {
  TScratchDir dir;
  const TZNames names = OnlineZNames("READPLUSALES");
  const std::time_t when = 1765275300;
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = dir.Path() + "/READPLUSALES-" + stamp;

  TZJournal complete(dir.Path(), names, when), broken(dir.Path(), names, when);
  auto crashed = std::make_unique<TZJournal>(dir.Path(), names, when);
  EXPECT_EQ(complete.Path(), base + ".JURNAL");
  EXPECT_EQ(broken.Path(), base + "-2.JURNAL");
  std::string why;
  for (TZJournal *j : {&complete, &broken, crashed.get()})
    ASSERT_TRUE(j->Append(std::string("1;1;1;4;\0;x", 11), why) && j->Append("", why)) << why;
  EXPECT_TRUE(RecoverZJournals(dir.Path(), {names}).empty());  // live ones are left alone
  EXPECT_EQ(complete.Finish(true), base + ".ARHIVA");
  EXPECT_EQ(broken.Finish(false), base + "-2.PARTIAL");
  EXPECT_EQ(ReadFileBytes(base + ".ARHIVA"), std::string("1;1;1;4;\0;x\r\n\r\n", 15));

  // The third was never finished (its program went): a later start finds it.
  crashed.reset();
  const std::vector<TLeftJournal> left = RecoverZJournals(dir.Path(), {names, ProjectZNames()});
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].Path, base + "-3.PARTIAL");
  EXPECT_EQ(left[0].Lines, 2u);
  EXPECT_EQ(ReadFileBytes(left[0].Path), ReadFileBytes(base + ".ARHIVA"));
  EXPECT_TRUE(RecoverZJournals(dir.Path(), {names}).empty());  // announced once

  // A journal that cannot be made says why; nothing else is touched.
  EXPECT_THROW(TZJournal(dir.Path() + "/nu-exista", names, when), EFileWrite);
}
