// What the command files and the online settings mean, without a register.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "AtomicFile.h"
#include "CommandFile.h"
#include "IniFile.h"
#include "OnlineSettings.h"
#include "ProgramDir.h"
#include "RecordText.h"
#include "ScratchDir.h"

TEST(CommandFile, LinesEndAtCrLfLoneLfOrLoneCr) {
  const std::pair<std::string, TLineList> cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"a", {"a"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\n\r", {"a", ""}},  // LF then a lone CR: two ends
      {std::string("x\0y\r", 4), {std::string("x\0y", 3)}},
  };
  for (const auto &[bytes, lines] : cases) EXPECT_EQ(SplitTextLines(bytes), lines) << bytes;
}

TEST(CommandFile, LinesBecomeTheRecordsTheRegisterGets) {
  const std::string tail = std::string(20, ';');
  const std::pair<std::string, std::string> cases[] = {
      {"17;\"Apa\";;2;1;3.5;0;0", "U10000;17;\"Apa\";\"\";2;;1;3,50;0,00" + tail + "0"},
      {"17;Apa;\"Mare\";2;1;3,5;1.25;99", "U10000;17;\"Apa\";\"Mare\";2;;1;3,50;1,25" + tail + "99"},
      {"x;Apa;;y;z;abc;;", "U10000;0;\"Apa\";\"\";0;;0;0,00;0,00" + tail + "0"},
      {"99999999999999;N;A;1;2;1;2;3;ignored", "U10000;99999999999999;\"N\";\"A\";1;;2;1,00;2,00" + tail + "3"},
      {"5;-", "U10000;-5"},
  };
  for (const auto &[line, text] : cases) {
    const TPluRec rec = PluRecordOfLine(line);
    EXPECT_FALSE(rec.Nou);
    EXPECT_EQ(BuildRecordText(rkPlu, &rec), text) << line;
  }
}

namespace {

class OnlineSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetProgramDirectory(Dir.Path()); }
  void TearDown() override { SetProgramDirectory(""); }
  TOnlineSettings FromText(const std::string &configurari) {
    WriteFileAtomic(TarvoIniPath(), "[Configurari]\r\n" + configurari);
    TOnlineSettings s;
    EXPECT_TRUE(LoadOnlineSettings(s));
    return s;
  }
  std::string Text() { return ReadFileBytes(TarvoIniPath()); }
  TScratchDir Dir;
};

}  // namespace

TEST_F(OnlineSettingsTest, DefaultsAndFallBacks) {
  TOnlineSettings s;
  EXPECT_TRUE(LoadOnlineSettings(s));  // no file at all
  EXPECT_EQ(s.PortOnline, 1);
  EXPECT_EQ(s.BaudRateOnline, 3);
  EXPECT_EQ(s.DirectorLucru, Dir.Path() + "/");
  EXPECT_FALSE(s.OnlineActiv);

  struct TCase {
    std::string Text;
    int Port, Baud;
    bool On;
  };
  const TCase cases[] = {
      {"PortOnline=16\r\nBaudRateOnline=1\r\nOnlineActiv=D\r\n", 16, 1, true},
      {"PortOnline=40\r\nBaudRateOnline=2\r\nOnlineActiv=d\r\n", 40, 2, true},  // port taken as read
      {"PortOnline=x\r\nBaudRateOnline=0\r\nOnlineActiv=Da\r\n", 1, 3, false},
      {"BaudRateOnline=4\r\nOnlineActiv=N\r\n", 1, 3, false},
      {"BaudRateOnline=trei\r\n", 1, 3, false},
  };
  for (const TCase &c : cases) {
    s = FromText(c.Text);
    EXPECT_EQ(s.PortOnline, c.Port) << c.Text;
    EXPECT_EQ(s.BaudRateOnline, c.Baud) << c.Text;
    EXPECT_EQ(s.OnlineActiv, c.On) << c.Text;
  }
  EXPECT_EQ(FromText("DirectorLucru=/srv/casa\r\n").DirectorLucru, "/srv/casa/");
  EXPECT_EQ(FromText("DirectorLucru=/srv/casa/\r\n").DirectorLucru, "/srv/casa/");
  EXPECT_EQ(FromText("DirectorLucru=online\r\n").DirectorLucru, Dir.Path() + "/online/");
  EXPECT_EQ(FromText("DirectorLucru=\r\n").DirectorLucru, Dir.Path() + "/");
  EXPECT_EQ(PortItemIndex(16), 15);
  EXPECT_EQ(PortItemIndex(17), 0);
  EXPECT_EQ(RateItemIndex(0), 2);
}

TEST_F(OnlineSettingsTest, SavingKeepsEverythingElseInTheFile) {
  WriteFileAtomic(TarvoIniPath(),
                  "; comentariu\r\n[Porturi]\r\nCOM1=/dev/ttyUSB0\r\n[configurari]\r\nAlta=1\r\n"
                  "onlineactiv=N\r\n");
  TOnlineSettings s;
  s.PortOnline = 2;
  s.BaudRateOnline = 1;
  s.DirectorLucru = "/srv/casa/";
  s.OnlineActiv = true;
  SaveOnlineSettings(s);
  const std::string text = Text();
  for (const char *kept : {"; comentariu\r\n", "[Porturi]\r\nCOM1=/dev/ttyUSB0\r\n", "[configurari]\r\nAlta=1\r\n",
                           "onlineactiv=D\r\nPortOnline=2\r\nBaudRateOnline=1\r\nDirectorLucru=/srv/casa/\r\n"})
    EXPECT_NE(text.find(kept), std::string::npos) << kept << " in " << text;
  TOnlineSettings back;
  ASSERT_TRUE(LoadOnlineSettings(back));
  EXPECT_EQ(back.DirectorLucru, "/srv/casa/");
  EXPECT_TRUE(back.OnlineActiv);

  // A file that exists but cannot be read is never replaced by one that
  // would lack its port map.
  ::unlink(TarvoIniPath().c_str());
  ASSERT_EQ(::mkdir(TarvoIniPath().c_str(), 0755), 0);
  EXPECT_FALSE(LoadOnlineSettings(back));
  EXPECT_THROW(SaveOnlineSettings(s), EFileWrite);
}
