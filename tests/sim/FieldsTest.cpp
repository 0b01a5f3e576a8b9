#include <gtest/gtest.h>

#include "Fields.h"

using namespace Sim;

TEST(Fields, NumbersAreReadWhollyOrNotAtAll) {
  EXPECT_EQ(ParseInt32("-5"), -5);
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  EXPECT_FALSE(ParseInt32("2147483648"));  // beyond 32 bits is no number of the record
  EXPECT_FALSE(ParseInt32(""));
  EXPECT_FALSE(ParseInt32("-"));
  EXPECT_FALSE(ParseInt32("+1"));
  EXPECT_FALSE(ParseInt32(" 1"));
  EXPECT_FALSE(ParseInt32("12a"));
  EXPECT_EQ(ParseInt64("99999999999999"), 99999999999999);
}

TEST(Fields, PricesTakeCommaOrPointAndAtMostTwoDecimals) {
  EXPECT_EQ(ParseCents("12,50"), 1250);
  EXPECT_EQ(ParseCents("12.5"), 1250);
  EXPECT_EQ(ParseCents("3"), 300);
  EXPECT_EQ(ParseCents("0,00"), 0);
  EXPECT_FALSE(ParseCents("1,234"));
  EXPECT_FALSE(ParseCents("-1,00"));
  EXPECT_FALSE(ParseCents(",50"));
  EXPECT_FALSE(ParseCents("1,5x"));
  EXPECT_EQ(FormatCents(1250), "12.50");
  EXPECT_EQ(FormatCents(5), "0.05");
  EXPECT_EQ(FormatMilli(2500), "2.500");
}

TEST(Fields, SplitKeepsEmptyFieldsAndQuotes) {
  EXPECT_TRUE(SplitFields("").empty());
  ASSERT_EQ(SplitFields("a;b;").size(), 3u);
  EXPECT_EQ(SplitFields("a;b;")[2], "");
  EXPECT_EQ(SplitFields(";").size(), 2u);
  EXPECT_EQ(SplitFields("1;\"x\"")[1], "\"x\"");
  EXPECT_EQ(Unquote("\"Paine\""), "Paine");
  EXPECT_EQ(Unquote("\"\""), "");
  EXPECT_EQ(Unquote("\""), "\"");  // a lone quote is no pair
}
