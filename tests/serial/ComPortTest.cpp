// Opening, closing, line settings and transfers over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include <sys/file.h>
#include <sys/ioctl.h>

#include "ComPort.h"
#include "PosixLine.h"
#include "EventPump.h"
#include "PtyPair.h"

namespace {

// The settings the register link uses, in the order it sets them.
void ApplyLinkSettings(TCustomComPort &port, const std::string &device, TBaudRate rate) {
  port.SetDiscardNull(false);
  port.FlowControl().SetControlDTR(dtrEnable);
  port.FlowControl().SetControlRTS(rtsDisable);
  port.BeginSettingsUpdate();
  port.SetPort(device);
  port.SetStopBits(sbOneStopBit);
  port.SetBaudRate(rate);
  port.SetDataBits(dbEight);
  port.Parity().SetBits(prNone);
  port.FlowControl().SetFlowControl(fcNone);
  port.EndSettingsUpdate();
}

EComPort OpenFailure(TCustomComPort &port) {
  try {
    port.Open();
  } catch (const EComPort &e) {
    return e;
  }
  ADD_FAILURE() << "Open did not raise";
  return EComPort(0);
}

int ExclusiveFlag(int fd) {
  int excl = -1;
  ioctl(fd, TIOCGEXCL, &excl);
  return excl;
}

}  // namespace

TEST(ComPortLine, OpenProgramsARawLineWithTheLinkSettings) {
  TPtyPair pty;
  TComPort port;
  ApplyLinkSettings(port, pty.SlavePath(), br38400);
  EXPECT_EQ(pty.SlaveSettings().c_cflag & CBAUD, tcflag_t(B38400)) << "closed port programmed early";

  port.Open();
  ASSERT_TRUE(port.Connected());
  const termios t = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&t), speed_t(B38400));
  EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP | INPCK), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
}

TEST(ComPortLine, SettingsApplyAtOnceUnlessAnUpdateIsOpen) {
  TPtyPair pty;
  TComPort port;
  ApplyLinkSettings(port, pty.SlavePath(), br19200);
  port.Open();
  ASSERT_EQ(pty.SlaveSpeed(), speed_t(B19200));

  // A single change goes to the device at once. (Pseudo-terminals keep
  // neither parity nor a character size other than 8, so those two are
  // left to the block tests.)
  port.SetStopBits(sbTwoStopBits);
  EXPECT_EQ(pty.SlaveSettings().c_cflag & CSTOPB, tcflag_t(CSTOPB));
  port.SetStopBits(sbOneStopBit);
  EXPECT_EQ(pty.SlaveSettings().c_cflag & CSTOPB, 0u);

  // Inside an update nothing reaches the device until the last End.
  port.BeginSettingsUpdate();
  port.BeginSettingsUpdate();
  port.SetBaudRate(br57600);
  port.SetStopBits(sbTwoStopBits);
  port.FlowControl().SetFlowControl(fcSoftware);
  port.EndSettingsUpdate();
  termios t = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&t), speed_t(B19200));
  EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
  port.EndSettingsUpdate();
  t = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&t), speed_t(B57600));
  EXPECT_EQ(t.c_cflag & CSTOPB, tcflag_t(CSTOPB));
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));

  port.FlowControl().SetFlowControl(fcHardware);
  EXPECT_EQ(pty.SlaveSettings().c_cflag & CRTSCTS, tcflag_t(CRTSCTS));
  port.FlowControl().SetFlowControl(fcNone);
  EXPECT_EQ(pty.SlaveSettings().c_iflag & (IXON | IXOFF), 0u);
  EXPECT_EQ(pty.SlaveSettings().c_cflag & CRTSCTS, 0u);

  // Values stored on a closed port take effect at the next Open.
  port.Close();
  port.SetBaudRate(br9600);
  port.SetStopBits(sbOneStopBit);
  EXPECT_EQ(pty.SlaveSpeed(), speed_t(B57600));
  port.Open();
  EXPECT_EQ(pty.SlaveSpeed(), speed_t(B9600));
  EXPECT_EQ(pty.SlaveSettings().c_cflag & CSTOPB, 0u);
}

TEST(ComPortLine, SpeedsWithoutATermiosConstant) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  port.SetBaudRate(brCustom);
  port.SetCustomBaudRate(31250);
  port.Open();
  uint32_t speed = 0;
  ASSERT_EQ(GetLineSpeed(pty.Slave(), &speed), 0);
  EXPECT_EQ(speed, 31250u);
  port.SetBaudRate(br56000);
  ASSERT_EQ(GetLineSpeed(pty.Slave(), &speed), 0);
  EXPECT_EQ(speed, 56000u);

  // A speed the line cannot have fails the change and leaves the port open.
  try {
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(0);
    ADD_FAILURE() << "0 bit/s accepted";
  } catch (const EComPort &e) {
    EXPECT_EQ(e.ErrorCode, CE_SetState);
    EXPECT_GT(e.SystemError, 0);
  }
  EXPECT_TRUE(port.Connected());
  port.Close();

  // Failing to program the line fails Open, closes and unlocks the device.
  EComPort e = OpenFailure(port);
  EXPECT_EQ(e.ErrorCode, CE_SetState);
  EXPECT_FALSE(port.Connected());
  EXPECT_EQ(ExclusiveFlag(pty.Slave()), 0);
  port.SetCustomBaudRate(9600);
  EXPECT_NO_THROW(port.Open());
}

TEST(ComPortOpen, MissingDeviceAndClosedPortErrors) {
  TComPort port;
  port.SetPort("/dev/no-such-serial-device");
  EComPort e = OpenFailure(port);
  EXPECT_EQ(e.ErrorCode, CE_OpenFailed);
  EXPECT_EQ(e.SystemError, ENOENT);
  EXPECT_STREQ(e.what(), "Unable to open com port (Error: 2)");
  EXPECT_FALSE(port.Connected());

  char buf[4] = {};
  for (int which = 0; which < 2; ++which) {
    try {
      if (which == 0) port.Write("x", 1);
      else port.Read(buf, sizeof buf);
      ADD_FAILURE() << "closed port transferred";
    } catch (const EComPort &e) {
      EXPECT_EQ(e.ErrorCode, CE_PortNotOpen);
      EXPECT_EQ(e.SystemError, -1);
      EXPECT_STREQ(e.what(), "Port Not Open");
    }
  }
  EXPECT_NO_THROW(port.Close());

  // Not a terminal: the device opens but the line cannot be programmed.
  port.SetPort("/dev/null");
  e = OpenFailure(port);
  EXPECT_EQ(e.ErrorCode, CE_SetState);
  EXPECT_FALSE(port.Connected());
}

TEST(ComPortOpen, OnlyOneHolderAtATime) {
  TPtyPair pty;
  TComPort first, second;
  first.SetPort(pty.SlavePath());
  second.SetPort(pty.SlavePath());
  first.Open();
  first.Open();  // already open: nothing happens
  EXPECT_TRUE(first.Connected());
  EXPECT_EQ(ExclusiveFlag(pty.Slave()), 1);

  EComPort e = OpenFailure(second);
  EXPECT_EQ(e.ErrorCode, CE_OpenFailed);
  // EBUSY from the terminal's exclusive mode, or the lock when we are root.
  EXPECT_TRUE(e.SystemError == EBUSY || e.SystemError == EWOULDBLOCK) << e.SystemError;
  EXPECT_NE(std::string(e.what()).find(" (Error: "), std::string::npos);
  EXPECT_FALSE(second.Connected());
  EXPECT_TRUE(first.Connected());

  first.Close();
  EXPECT_NO_THROW(second.Open());
  second.Close();

  // Another program holding the lock keeps us out as well.
  int other = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  e = OpenFailure(first);
  EXPECT_EQ(e.ErrorCode, CE_OpenFailed);
  EXPECT_EQ(e.SystemError, EWOULDBLOCK);
  ::close(other);
  EXPECT_NO_THROW(first.Open());

  // While we hold the line a plain open by a non-root program fails.
  if (geteuid() != 0) {
    errno = 0;
    int plain = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    EXPECT_LT(plain, 0);
    EXPECT_EQ(errno, EBUSY);
    if (plain >= 0) ::close(plain);
  }
}

TEST(ComPortOpen, CloseReleasesTheLineAndReopenStartsClean) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  port.Open();
  pty.Send("stale");
  ASSERT_TRUE(PumpUntil([&] { return port.InputCount() == 5; }));
  port.Close();
  EXPECT_FALSE(port.Connected());
  port.Close();  // closed: nothing happens

  // Exclusive mode is the terminal's, not the descriptor's: left set, a
  // non-root program could not open the line again.
  EXPECT_EQ(ExclusiveFlag(pty.Slave()), 0);
  int other = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(other, 0);
  EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0) << "lock outlived Close";
  ::close(other);

  port.Open();
  EXPECT_EQ(port.InputCount(), 0) << "bytes of the last session survived";
  char buf[16];
  EXPECT_EQ(port.Read(buf, sizeof buf), 0);
  pty.Send("new");
  ASSERT_TRUE(PumpUntil([&] { return port.InputCount() == 3; }));
  EXPECT_EQ(port.Read(buf, sizeof buf), 3);
  EXPECT_EQ(std::string(buf, 3), "new");
}

// The last frame of an action (a closing command) is written just before
// the port closes, and the next action may open the line at once: opening
// must clear only what came in, never what the last user sent out.
TEST(ComPortOpen, ReopeningKeepsWhatTheLastUserSentOut) {
  TPtyPair pty;
  {
    TComPort first;
    first.SetPort(pty.SlavePath());
    first.Open();
    ASSERT_EQ(first.Write("CPB", 3), 3);
    first.Close();
  }
  TComPort next;
  next.SetPort(pty.SlavePath());
  next.Open();
  EXPECT_EQ(pty.Receive(3, 500), "CPB");
}

TEST(ComPortOpen, ChangingThePortOfAnOpenPortMovesToTheNewDevice) {
  TPtyPair a, b;
  TComPort port;
  port.SetPort(a.SlavePath());
  port.Open();
  port.SetPort(b.SlavePath());
  EXPECT_TRUE(port.Connected());
  EXPECT_EQ(ExclusiveFlag(a.Slave()), 0);
  EXPECT_EQ(ExclusiveFlag(b.Slave()), 1);
  ASSERT_EQ(port.Write("hi", 2), 2);
  EXPECT_EQ(b.Receive(2), "hi");
  EXPECT_EQ(a.Receive(1, 50), "");
}

TEST(ComPortTransfer, BytesPassUnchangedBothWays) {
  TPtyPair pty;
  TComPort port;
  ApplyLinkSettings(port, pty.SlavePath(), br57600);
  port.Open();

  char buf[64];
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(port.Read(buf, sizeof buf), 0) << "nothing queued";
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500)) << "read waited";

  const std::string frame("\x10\x02\x44\x35\x30\x30\x30\x10\x03\xD8\xCF", 11);
  EXPECT_EQ(port.Write(frame.data(), int32_t(frame.size())), 11);
  EXPECT_EQ(pty.Receive(11), frame);

  const std::string answer("\x10\x02\x00\x05\r\n\xFF\x11\x13\x03\x10\x03\x42\x3F", 14);
  pty.Send(answer);
  ASSERT_TRUE(PumpUntil([&] { return port.InputCount() == 14; }));
  EXPECT_EQ(port.Read(buf, 5), 5);
  EXPECT_EQ(port.Read(buf + 5, sizeof buf - 5), 9);
  EXPECT_EQ(std::string(buf, 14), answer);
  EXPECT_EQ(port.Write(buf, 0), 0);

  // The last frame before a close still reaches the other side.
  ASSERT_EQ(port.Write("CPB", 3), 3);
  port.Close();
  EXPECT_EQ(pty.Receive(3), "CPB");
}

TEST(ComPortTransfer, DiscardNullDropsReceivedNulBytes) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  port.SetDiscardNull(true);
  port.Open();
  pty.Send(std::string("a\0b\0\0c", 6));
  ASSERT_TRUE(PumpUntil([&] { return port.InputCount() == 6; }));
  char buf[8];
  ASSERT_EQ(port.Read(buf, sizeof buf), 3);
  EXPECT_EQ(std::string(buf, 3), "abc");
}

TEST(ComPortTransfer, ReadWaitsOnlyAsTheTimeoutsSay) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  port.Open();
  char buf[8];
  // Wait up to the constant for a first byte, then return what is there.
  port.Timeouts().SetReadTotalMultiplier(-1);
  port.Timeouts().SetReadTotalConstant(2000);
  std::thread sender([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pty.Send("ab");
  });
  const int32_t got = port.Read(buf, sizeof buf);
  sender.join();
  ASSERT_GE(got, 1);
  EXPECT_EQ(std::string(buf, size_t(got)), std::string("ab", size_t(got)));

  // A total bound ends a read that cannot be filled.
  port.Timeouts().SetReadInterval(0);
  port.Timeouts().SetReadTotalMultiplier(0);
  port.Timeouts().SetReadTotalConstant(30);
  PumpUntil([&] { return port.InputCount() > 0; }, 200);
  const int32_t rest = port.Read(buf, sizeof buf);
  EXPECT_EQ(got + rest, 2);
}

TEST(ComPortTransfer, WriteToAStalledLineEndsAfterItsTimeout) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  port.Timeouts().SetWriteTotalMultiplier(0);
  port.Timeouts().SetWriteTotalConstant(150);
  port.Open();
  // Nobody reads the master: the terminal's queues fill and stay full.
  std::string big(4 << 20, 'x');
  auto started = std::chrono::steady_clock::now();
  const int32_t written = port.Write(big.data(), int32_t(big.size()));
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_GT(written, 0);
  EXPECT_LT(written, int32_t(big.size()));
  EXPECT_LT(took, std::chrono::seconds(10)) << "write did not honour its time-out";
}

TEST(ComPortTransfer, WriteToAHungUpLineRaises) {
  TPtyPair pty;
  TComPort port;
  port.SetPort(pty.SlavePath());
  port.Open();
  pty.CloseMaster();
  try {
    port.Write("x", 1);
    ADD_FAILURE() << "write to a hung-up line succeeded";
  } catch (const EComPort &e) {
    EXPECT_EQ(e.ErrorCode, CE_WriteFailed);
    EXPECT_EQ(e.SystemError, EIO);
  }
  EXPECT_TRUE(port.Connected());
  EXPECT_NO_THROW(port.Close());
}
