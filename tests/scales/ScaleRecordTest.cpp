// The bytes of one scale record: the name cut into lines of 14 characters,
// the length that counts them, the price in hundredths.
#include <gtest/gtest.h>

#include "ScaleRecord.h"

namespace {

TDPLuRecord Record(const std::string &name, double price = 12.345) {
  TDPLuRecord r;
  r.SetPluNumber(42);
  r.SetName(name);
  r.Price = price;
  r.Barcode = "2100042";  // prefix 21, PLU 42
  return r;
}

}  // namespace

TEST(ScaleRecord, NamesOfZeroOneFourteenFifteenAndTwentyNineCharacters) {
  // PLU number, length, status 7000, 0D2000, price, 11, 05, barcode padded
  // to 14, then per name line 07, its length, its bytes, 0D or (last) 0C,
  // and the end byte 00.
  const std::string head = "00000042";
  const std::string fixed = "70000D20000000123511052100042" "0000000";
  const struct {
    std::string Name;
    size_t Lines;
    std::string Expected;
  } cases[] = {
      {"", 0, head + "0019" + fixed + "00"},
      {"\xE2", 1, head + "001D" + fixed + "0701E20C" "00"},
      {"ABCDEFGHIJKLMN", 1, head + "002A" + fixed + "070E4142434445464748494A4B4C4D4E0C" "00"},
      {"ABCDEFGHIJKLMNO", 2,
       head + "002E" + fixed + "070E4142434445464748494A4B4C4D4E0D" "07014F0C" "00"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012", 3,
       head + "003F" + fixed + "070E4142434445464748494A4B4C4D4E0D" "070E4F505152535455565758595A30310D"
                               "0701320C" "00"},
  };
  for (const auto &c : cases) {
    const TDPLuRecord r = Record(c.Name);
    EXPECT_EQ(r.NameLines().size(), c.Lines) << c.Name;
    EXPECT_EQ(r.Text(), c.Expected) << c.Name;
    EXPECT_EQ(r.Text().size(), size_t(r.Length()) * 2) << c.Name;  // the length counts bytes
  }
}

TEST(ScaleRecord, PricesAreRoundedHalfAwayFromZeroInHundredths) {
  const struct {
    double Price;
    const char *Digits;
  } cases[] = {{12.345, "00001235"}, {0.005, "00000001"}, {2.675, "00000268"}, {0, "00000000"},
               {1234.5, "00123450"}, {999999.99, "99999999"}};
  for (const auto &c : cases) EXPECT_EQ(Record("A", c.Price).Text().substr(22, 8), c.Digits) << c.Price;

  // A prefix longer than nine digits makes a barcode past 14 characters,
  // written whole.
  TDPLuRecord r = Record("");
  r.Barcode = "1234567890" "00042";
  EXPECT_EQ(r.Text().substr(34), "123456789000042" "00");
}
