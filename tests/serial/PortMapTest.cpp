// Where "COMn" leads: TARVOPROG.INI beside the program, else /dev/ttyS(n-1).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "ComPort.h"
#include "PortMap.h"
#include "PtyPair.h"

namespace {

class PortMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tarvo-portmap-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    Dir = tmpl;
    SetProgramDirectory(Dir);
  }
  void TearDown() override {
    SetProgramDirectory("");
    std::remove((Dir + "/TARVOPROG.INI").c_str());
    ::rmdir(Dir.c_str());
  }
  void WriteIni(const std::string &text) {
    std::ofstream(Dir + "/TARVOPROG.INI", std::ios::binary) << text;
  }
  std::string Dir;
};

}  // namespace

TEST_F(PortMapTest, ProgramDirectoryCanBeMovedForTests) {
  EXPECT_EQ(ProgramDirectory(), Dir + "/");
  SetProgramDirectory("");
  const std::string real = ProgramDirectory();
  ASSERT_FALSE(real.empty());
  EXPECT_EQ(real.back(), '/');
  // This test program lives in the build's bin directory.
  EXPECT_EQ(access((real + "serial_tests").c_str(), X_OK), 0) << real;
}

TEST_F(PortMapTest, WithoutAnIniFileComNIsTheNthSerialDevice) {
  EXPECT_EQ(MapPortName("COM1"), "/dev/ttyS0");
  EXPECT_EQ(MapPortName("COM10"), "/dev/ttyS9");
  EXPECT_EQ(MapPortName("COM16"), "/dev/ttyS15");
  EXPECT_EQ(MapPortName("COM255"), "/dev/ttyS254");
  // Anything else is a device path as it stands.
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
  EXPECT_EQ(MapPortName("COM1"), "/dev/ttyUSB0");
  EXPECT_EQ(MapPortName("COM2"), "/dev/ttyUSB 1");
  EXPECT_EQ(MapPortName("COM3"), Dir + "/sim/link");
  EXPECT_EQ(MapPortName("COM4"), "/dev/ttyS3");
  EXPECT_EQ(MapPortName("COM5"), "/dev/ttyS4");
  EXPECT_EQ(MapPortName("COM12"), "/dev/ttyACM0");
}

TEST_F(PortMapTest, APortNamedComNOpensTheMappedDevice) {
  PtyPair pty;
  WriteIni("[Porturi]\nCOM7=" + pty.SlavePath + "\n");
  TComPort port;
  port.SetPort("COM7");
  EXPECT_EQ(port.DevicePath(), pty.SlavePath);
  port.Open();
  ASSERT_EQ(port.Write("hi", 2), 2);
  EXPECT_EQ(pty.Receive(2), "hi");

  port.Close();
  port.SetPort("COM8");
  try {
    port.Open();
  } catch (const EComPort &e) {
    // /dev/ttyS7 is absent or is a UART with no hardware on most machines.
    EXPECT_EQ(e.ErrorCode, e.ErrorCode == CE_OpenFailed ? CE_OpenFailed : CE_SetState);
  }
}
