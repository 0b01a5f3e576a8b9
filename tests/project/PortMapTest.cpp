// Where "COMn" leads: TARVOPROG.INI beside the program, else /dev/ttyS(n-1);
// and the INI file itself, which other programs and people edit too.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "ComPortMap.h"
#include "IniFile.h"
#include "PortMap.h"
#include "ProgramDir.h"
#include "ScratchDir.h"

namespace {

class PortMapTest : public ::testing::Test {
 protected:
  void SetUp() override { SetProgramDirectory(Dir.Path()); }
  void TearDown() override { SetProgramDirectory(""); }
  void WriteIni(const std::string &text) { std::ofstream(Dir.Path() + "/TARVOPROG.INI", std::ios::binary) << text; }
  std::string ReadIni() { return ReadFileBytes(Dir.Path() + "/TARVOPROG.INI"); }
  TScratchDir Dir;
};

}  // namespace

TEST_F(PortMapTest, ProgramDirectoryCanBeMovedForTests) {
  EXPECT_EQ(ProgramDirectory(), Dir.Path() + "/");
  SetProgramDirectory("");
  const std::string real = ProgramDirectory();
  ASSERT_FALSE(real.empty());
  EXPECT_EQ(real.back(), '/');
  // This test program lives in the build's bin directory.
  EXPECT_EQ(access((real + "project_tests").c_str(), X_OK), 0) << real;
}

TEST_F(PortMapTest, WithoutAnIniFileComNIsTheNthSerialDevice) {
  EXPECT_EQ(PortDevice(1), "/dev/ttyS0");
  EXPECT_EQ(PortDevice(16), "/dev/ttyS15");
  EXPECT_EQ(PortDevice(255), "/dev/ttyS254");
  EXPECT_EQ(PortDevice(0), "COM0");  // a name that opens nothing
  // The component alone: any other name is a device path as it stands.
  for (const char *name : {"/dev/pts/3", "COM0", "COM256", "COM01", "com1", "COM", "COM1x", "", "COM-1"})
    EXPECT_EQ(MapPortName(name), name);
}

TEST_F(PortMapTest, IniKeysNameTheDevices) {
  WriteIni(
      "; written on Windows\r\n"
      "[Online]\r\n"
      "COM1=/dev/wrong\r\n"
      "[PORTURI]\r\n"
      "com1 = /dev/ttyUSB0\r\n"
      "COM2=\"/dev/ttyUSB 1\"\r\n"
      "COM3=sim/link\r\n"
      "COM4=\r\n"
      "COM12=/dev/ttyACM0\r\n");
  EXPECT_EQ(PortDevice(1), "/dev/ttyUSB0");
  EXPECT_EQ(PortDevice(2), "/dev/ttyUSB 1");
  EXPECT_EQ(PortDevice(3), Dir.Path() + "/sim/link");
  EXPECT_EQ(PortDevice(4), "/dev/ttyS3");
  EXPECT_EQ(PortDevice(5), "/dev/ttyS4");
  EXPECT_EQ(PortDevice(12), "/dev/ttyACM0");
}

TEST_F(PortMapTest, WritingTheIniKeepsEverythingElseWithWindowsLineEnds) {
  WriteIni(
      "; comentariu\r\n"
      "[Porturi]\r\n"
      "COM1=/dev/ttyUSB0\r\n"
      "\r\n"
      "[Configurari]\r\n"
      "DirectorLucru=C:\\Lucru\\\r\n"
      "[Altceva]\r\n"
      "Cheie=valoare cu spatii\r\n");
  TIniFile ini;
  ASSERT_TRUE(ini.Load(Dir.Path() + "/TARVOPROG.INI"));
  EXPECT_EQ(ini.Value("configurari", "directorlucru", ""), "C:\\Lucru\\");  // no escapes
  ini.SetValue("Configurari", "OnlineActiv", "D");
  ini.SetValue("Porturi", "COM2", "/dev/ttyACM0");
  ini.Save(Dir.Path() + "/TARVOPROG.INI");
  const std::string text = ReadIni();
  for (const char *line : {"; comentariu\r\n", "[Porturi]\r\n", "COM1=/dev/ttyUSB0\r\n", "COM2=/dev/ttyACM0\r\n",
                           "DirectorLucru=C:\\Lucru\\\r\n", "OnlineActiv=D\r\n", "Cheie=valoare cu spatii\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  EXPECT_EQ(text.find("\n\n"), std::string::npos);  // every LF has its CR
  EXPECT_EQ(text.find("\r\n\r\n\r\n"), std::string::npos);  // one blank line between sections
  EXPECT_EQ(PortDevice(2), "/dev/ttyACM0");
}

TEST_F(PortMapTest, BlankLinesDoNotGrowEachTimeTheIniIsWritten) {
  WriteIni("[Porturi]\r\nCOM1=/dev/x\r\n\r\n[Configurari]\r\nPortOnline=1\r\n");
  for (int round = 0; round < 3; ++round) {
    TIniFile ini;
    ASSERT_TRUE(ini.Load(Dir.Path() + "/TARVOPROG.INI"));
    ini.SetValue("Porturi", "COM2", "/dev/ttyUSB0");
    ini.Save(Dir.Path() + "/TARVOPROG.INI");
  }
  EXPECT_EQ(ReadIni(), "[Porturi]\r\nCOM1=/dev/x\r\nCOM2=/dev/ttyUSB0\r\n\r\n[Configurari]\r\nPortOnline=1\r\n");
}

TEST_F(PortMapTest, AMissingIniReadsAsEmptyAndAnUnreadableOneSaysWhy) {
  TIniFile ini;
  EXPECT_TRUE(ini.Load(Dir.Path() + "/nu-exista.INI"));
  EXPECT_FALSE(ini.Value("Configurari", "PortOnline"));
  std::string why;
  EXPECT_FALSE(ini.Load(Dir.Path(), &why));  // a directory
  EXPECT_FALSE(why.empty());
}

TEST_F(PortMapTest, MappingAPortKeepsTheRestOfTheFileAndRefusesWhatWouldBreakIt) {
  WriteIni(
      "; comentariu\r\n"
      "[Configurari]\r\n"
      "DirectorLucru=C:\\Lucru\\\r\n"
      "[PORTURI]\r\n"
      "com1=/dev/ttyS0\r\n"
      "COM2=/dev/ttyUSB1\r\n");
  std::string why;
  ASSERT_TRUE(SavePortDevice(1, "/dev/serial/by-id/usb-FTDI_A1-if00-port0", &why)) << why;
  ASSERT_TRUE(SavePortDevice(12, "/dev/cu spatiu ", &why)) << why;
  EXPECT_EQ(PortDevice(1), "/dev/serial/by-id/usb-FTDI_A1-if00-port0");
  EXPECT_EQ(PortDevice(2), "/dev/ttyUSB1");
  EXPECT_EQ(PortDevice(12), "/dev/cu spatiu ");
  const std::string text = ReadIni();
  for (const char *line : {"; comentariu\r\n", "DirectorLucru=C:\\Lucru\\\r\n", "COM2=/dev/ttyUSB1\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  EXPECT_EQ(text.find("/dev/ttyS0"), std::string::npos) << text;  // replaced, not repeated

  // A line break would add keys of its own; nothing is written then.
  for (const char *bad : {"", "/dev/ttyUSB0\r\nCOM3=/dev/evil", "/dev/tty\tUSB0"}) {
    EXPECT_FALSE(SavePortDevice(3, bad, &why));
    EXPECT_FALSE(why.empty());
  }
  EXPECT_FALSE(SavePortDevice(0, "/dev/ttyS0", &why));
  EXPECT_EQ(ReadIni(), text);

  // An INI that cannot be read is never replaced by one made from nothing.
  const std::string ini = Dir.Path() + "/TARVOPROG.INI";
  ASSERT_EQ(::unlink(ini.c_str()), 0);
  ASSERT_EQ(::mkdir(ini.c_str(), 0755), 0);
  EXPECT_FALSE(SavePortDevice(3, "/dev/ttyS2", &why));
  EXPECT_NE(why.find("TARVOPROG.INI"), std::string::npos) << why;
}
