#include <gtest/gtest.h>

#include "CodePage.h"

TEST(CodePage, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(char(b));
  const QString shown = ToDisplay(all);
  ASSERT_EQ(shown.size(), 256);
  bool ok = false;
  EXPECT_EQ(FromDisplay(shown, &ok), all);
  EXPECT_TRUE(ok);
}

TEST(CodePage, RegisterLettersShowAsTheirCharacters) {
  // "Paine" with the Romanian letters the register prints: a-breve, i-circumflex,
  // s-cedilla, t-cedilla, and the euro sign at 0x80.
  EXPECT_EQ(ToDisplay("\xE3\xEE\xBA\xFE\x80"), QString::fromUtf8("ăîşţ€"));
  EXPECT_EQ(ToDisplay("\xC3\xCE\xAA\xDE"), QString::fromUtf8("ĂÎŞŢ"));
  EXPECT_EQ(FromDisplay(QString::fromUtf8("Pâine şi ţuică")), "P\xE2ine \xBAi \xFEuic\xE3");
}

TEST(CodePage, CommaBelowLettersAreTypedAsCedillaBytes) {
  bool ok = false;
  EXPECT_EQ(FromDisplay(QString::fromUtf8("ȘșȚț"), &ok), "\xAA\xBA\xDE\xFE");
  EXPECT_TRUE(ok);
}

TEST(CodePage, CharactersOutsideTheCodePageAreRefused) {
  for (const char *text : {"Привет", "中文", "smile \xF0\x9F\x98\x80", "\xC3\xA5"}) {  // å is not in 1250
    bool ok = true;
    const std::string bytes = FromDisplay(QString::fromUtf8(text), &ok);
    EXPECT_FALSE(ok) << text;
    EXPECT_NE(bytes.find('?'), std::string::npos) << text;
    EXPECT_FALSE(FitsCodePage(QString::fromUtf8(text))) << text;
  }
  EXPECT_TRUE(FitsCodePage(QStringLiteral("Magazin 1")));
}
