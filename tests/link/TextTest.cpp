// Error texts, line splitting, padding, rounding, numbers and record texts.
#include <gtest/gtest.h>

#include <cfenv>

#include "Decimal.h"
#include "ErrorTexts.h"
#include "FieldText.h"
#include "RecordText.h"
#include "TextHelpers.h"

TEST(ErrorTexts, ExactTexts) {
  EXPECT_EQ(ErrorMessage(8000), "8000;Time out");
  EXPECT_EQ(ErrorMessage(3), "Data incorecta");
  EXPECT_EQ(ErrorMessage(14), "14;");
  EXPECT_EQ(ErrorMessage(0), "0;");
  EXPECT_EQ(ErrorMessage(-1), "-1;");
  EXPECT_EQ(ErrorMessage(17), std::string("Fara pr") + char(0xEA) + "t zero");
  EXPECT_EQ(ErrorMessage(17).size(), 14u);
  EXPECT_EQ(ErrorMessage(143), "F15_POWER_ERROR\tneutilizat");
  EXPECT_EQ(ErrorMessage(152), "F24_CLOSE_TABLES\tneutilizat");
  EXPECT_EQ(ErrorMessage(130), ErrorMessage(133));
  EXPECT_EQ(ErrorMessage(134), ErrorMessage(137));
  for (int code : {25, 26, 27, 29, 33, 36, 38, 41, 128, 141, 163, 168, 171, 174, 177, 7999})
    EXPECT_EQ(ErrorMessage(code), std::to_string(code) + ";") << code;
  // Trailing blanks are part of these texts.
  EXPECT_EQ(ErrorMessage(8003), "8003;NAK ");
  EXPECT_EQ(ErrorMessage(8004), "8004;Lungimea textului este prea mare ");
  EXPECT_EQ(ErrorMessage(8031), "8031;Valoarea returnata nu este numerica ");
  EXPECT_EQ(ErrorMessage(8046), "8046;Cod unitate de masura eronat ");
  EXPECT_EQ(ErrorMessage(8045), "8045;Nu pot deschide portul serial");
  EXPECT_EQ(ErrorMessage(8002), "8002;Numar invalid de caractere returnate fata de cel asteptat");
  // A register code comes as an answer byte and is read unsigned.
  const char wire = char(0x81);
  EXPECT_EQ(ErrorMessage(int32_t(uint8_t(wire))), "Memorie fiscala plina");
}

TEST(TextHelpers, SplitText) {
  auto split = [](const std::string &text) {
    TLineList l;
    SplitText(text, ';', l);
    return l;
  };
  EXPECT_EQ(split(""), TLineList{});
  EXPECT_EQ(split("a;b"), (TLineList{"a", "b"}));
  EXPECT_EQ(split("a;b;"), (TLineList{"a", "b", ""}));
  EXPECT_EQ(split(";"), (TLineList{"", ""}));
  EXPECT_EQ(split("abc"), TLineList{"abc"});
  EXPECT_EQ(split(";;a"), (TLineList{"", "", "a"}));
  // Quotes are not special: the name keeps them, a ';' inside splits it.
  EXPECT_EQ(split("1;2;\"Paine\";4"), (TLineList{"1", "2", "\"Paine\"", "4"}));
  EXPECT_EQ(split("1;\"a;b\""), (TLineList{"1", "\"a", "b\""}));
  // Appends, never clears; bytes such as 0x00 stay.
  TLineList l{"x"};
  SplitText(std::string("a\0b;c", 5), ';', l);
  EXPECT_EQ(l, (TLineList{"x", std::string("a\0b", 3), "c"}));
}

TEST(TextHelpers, PadLeft) {
  EXPECT_EQ(PadLeft("7", 3, '0'), "007");
  EXPECT_EQ(PadLeft("123", 3, '0'), "123");
  EXPECT_EQ(PadLeft("12345", 3, '0'), "12345");
  EXPECT_EQ(PadLeft("", 2, ' '), "  ");
  EXPECT_EQ(PadLeft("ab", -4, ' '), "ab");
}

TEST(TextHelpers, RoundHalfAway) {
  EXPECT_EQ(RoundHalfAway(2.5), 3);
  EXPECT_EQ(RoundHalfAway(-2.5), -3);
  EXPECT_EQ(RoundHalfAway(2.4), 2);
  EXPECT_EQ(RoundHalfAway(-2.4), -2);
  EXPECT_EQ(RoundHalfAway(0.5 - 5e-11), 1);   // within 1e-10 of the half
  EXPECT_EQ(RoundHalfAway(0.5 - 2e-10), 0);   // beyond it
  EXPECT_EQ(RoundHalfAway(-0.5 + 5e-11), -1);
  EXPECT_EQ(RoundHalfAway(0), 0);
  EXPECT_EQ(RoundHalfAway(1234567.5), 1234568);
  // Whatever rounding mode the caller had is in place again afterwards, and
  // does not change the result.
  ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
  EXPECT_EQ(RoundHalfAway(2.4), 2);
  EXPECT_EQ(std::fegetround(), FE_UPWARD);
  std::fesetround(FE_TONEAREST);
}

TEST(Decimal, FormatDecimal) {
  EXPECT_EQ(FormatDecimal(12.5, 2), "12,50");
  EXPECT_EQ(FormatDecimal(0, 2), "0,00");
  EXPECT_EQ(FormatDecimal(0.5, 2), "0,50");
  EXPECT_EQ(FormatDecimal(-3.5, 2), "-3,50");
  // The nearest doubles lie just below these halves; the decimal value rules.
  EXPECT_EQ(FormatDecimal(2.675, 2), "2,68");
  EXPECT_EQ(FormatDecimal(1.005, 2), "1,01");
  EXPECT_EQ(FormatDecimal(-1.005, 2), "-1,01");
  EXPECT_EQ(FormatDecimal(0.1 + 0.2, 2), "0,30");
  EXPECT_EQ(FormatDecimal(999.995, 2), "1000,00");
  EXPECT_EQ(FormatDecimal(1234567.891, 2), "1234567,89");  // no grouping
  EXPECT_EQ(FormatDecimal(-0.001, 2), "0,00");             // no "-0,00"
  EXPECT_EQ(FormatDecimal(0.004999, 2), "0,00");
  EXPECT_EQ(FormatDecimal(17, 0), "17");
  EXPECT_EQ(FormatDecimal(2.5, 0), "3");
  EXPECT_EQ(FormatDecimal(-2.5, 0), "-3");
  EXPECT_EQ(FormatDecimal(1e20, 0), "100000000000000000000");
  EXPECT_EQ(FormatDecimal(0.000123, 4), "0,0001");
  EXPECT_EQ(FormatDecimal(1.5, -1), "2");
}

TEST(Decimal, ParseDecimal) {
  double v = -1;
  EXPECT_TRUE(ParseDecimal("12,50", v));
  EXPECT_DOUBLE_EQ(v, 12.5);
  EXPECT_TRUE(ParseDecimal("12.50", v));
  EXPECT_DOUBLE_EQ(v, 12.5);
  EXPECT_TRUE(ParseDecimal("  -3 ", v));
  EXPECT_DOUBLE_EQ(v, -3);
  EXPECT_TRUE(ParseDecimal("+,5", v));
  EXPECT_DOUBLE_EQ(v, 0.5);
  EXPECT_TRUE(ParseDecimal("7,", v));
  EXPECT_DOUBLE_EQ(v, 7);
  v = 42;
  for (const char *bad : {"", "  ", ",", "-", "1,2,3", "1.2,3", "12a", "1 2", "1e5", "0x10", "--1", "nan"}) {
    EXPECT_FALSE(ParseDecimal(bad, v)) << bad;
    EXPECT_EQ(v, 42) << bad;
  }
}

TEST(RecordText, DepartmentTvaAndBlocks) {
  TDeptRec d{};
  d.Cod = 1; d.Nume = "Paine"; d.UM = 1; d.O1 = 4; d.L = 0; d.P1 = 1256; d.TVA = 1;
  d.G = 7; d.O2 = 7; d.P2 = 7;  // slots the register always gets as 0
  EXPECT_EQ(BuildRecordText(rkDept, &d), "U5000;1;\"Paine\";1;0;4;0;0;1256;0;1;;;;;;;;;");

  TTvaRec t{};
  t.Cod = 1; t.Nume = "A"; t.Cota = 1900; t.O2 = 1;
  EXPECT_EQ(BuildRecordText(rkTva, &t), "U260;1;\"A\";1900;0;0;;0;0;");

  TSORec so{};
  so.Cod = 1;
  std::string expected = "U17;1;";
  for (int i = 0; i < 32; ++i) expected += "0;";
  EXPECT_EQ(BuildRecordText(rkSO, &so), expected);

  TSPRec sp{};
  sp.Cod = -5;
  for (int i = 0; i < 32; ++i) sp.P[i] = i + 1;
  expected = "U16;-5;";
  for (int i = 1; i <= 32; ++i) expected += std::to_string(i) + ";";
  EXPECT_EQ(BuildRecordText(rkSP, &sp), expected);
}

TEST(RecordText, Plu) {
  TPluRec p{};
  p.Cod = 17; p.Nume = "Apa"; p.CodDep = 2; p.CodUM = 1; p.Pret1 = 3.5; p.Pret2 = 0; p.Nou = true;
  EXPECT_EQ(BuildRecordText(rkPlu, &p),
            "U10000;17;\"Apa\";\"\";2;;1;3,50;0,00" + std::string(20, ';') + "0");
  p.Pret1 = 12.5; p.Pret2 = 1.005; p.LinkPLU = -1234.99; p.Cod = 5000000001;
  EXPECT_EQ(BuildRecordText(rkPlu, &p),
            "U10000;5000000001;\"Apa\";\"\";2;;1;12,50;1,01" + std::string(20, ';') + "-1234");
  p.LinkPLU = 1e300;  // stays defined: clamped to the largest int64
  EXPECT_EQ(BuildRecordText(rkPlu, &p).substr(BuildRecordText(rkPlu, &p).rfind(';') + 1),
            "9223372036854775807");
  p.Sters = true;
  p.Cod = 17;
  EXPECT_EQ(BuildRecordText(rkPlu, &p), "U10000;-17");
}

TEST(RecordText, CasierCursFormaPlataAndUnknownKinds) {
  TCasierRec c{};
  c.Cod = 2; c.Nume = "Ion \"Mic\""; c.O1 = 1; c.O2 = -5; c.Parola = "0042";
  EXPECT_EQ(BuildRecordText(rkCasier, &c), "U2000;2;\"Ion \"Mic\"\";1;-5;0042;");

  TCursRec r{};
  r.Cod = 1; r.Nume = "EUR"; r.Prefix = "E;"; r.rata = 49750;
  EXPECT_EQ(BuildRecordText(rkCurs, &r), "U1200;1;\"EUR\";\"E;\";49750;");

  TFormaPlataRec f{};
  f.Cod = 3; f.Nume = "Card"; f.O1 = 1; f.O2 = 2; f.L = 3; f.P1 = 4; f.P2 = 5; f.S = 6; f.ODS = 7;
  EXPECT_EQ(BuildRecordText(rkFormaPlata, &f), "U700;3;\"Card\";1;2;3;4;5;6;7;");

  EXPECT_EQ(BuildRecordText(5, &f), "");
  EXPECT_EQ(BuildRecordText(9, &f), "");
  EXPECT_EQ(BuildRecordText(-1, &f), "");
  EXPECT_EQ(BuildRecordText(rkDept, nullptr), "");
}

TEST(FieldText, ConversionsFallBackInsteadOfFailing) {
  struct {
    const char *Text;
    int32_t Whole;
    double Decimal;
  } cases[] = {{"12", 12, 12}, {" -7 ", -7, -7}, {"+3", 3, 3}, {"", 1, 0}, {"abc", 1, 0},
               {"12.50", 1, 12.5}, {"12,50", 1, 12.5}, {"2147483648", 1, 2147483648.0}, {"1 2", 1, 0}};
  for (const auto &c : cases) {
    EXPECT_EQ(WholeOr(c.Text, 1), c.Whole) << c.Text;
    EXPECT_DOUBLE_EQ(DecimalOrZero(c.Text), c.Decimal) << c.Text;
  }
  EXPECT_EQ(Whole64Or("5941234567890", 0), 5941234567890LL);
  EXPECT_EQ(Whole64Or("99999999999999999999", 0), 0);
  EXPECT_EQ(WithoutQuotes("\"Pa\"ine\""), "Paine");
}
