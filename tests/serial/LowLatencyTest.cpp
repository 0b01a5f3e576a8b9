// Opening a port asks the driver for low latency; a device that has no such
// setting opens all the same.
#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "ComPort.h"
#include "LowLatency.h"
#include "PtyPair.h"

namespace {

struct TAttempt {
  int Fd;
  int Result;
};
std::vector<TAttempt> Attempts;
int FailWith = 0;  // 0: ask the real driver

int Recording(int fd) {
  const int result = FailWith ? FailWith : RequestLowLatency(fd);
  Attempts.push_back({fd, result});
  return result;
}

class LowLatencyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Attempts.clear();
    FailWith = 0;
    Previous = SetLowLatencyRequest(&Recording);
  }
  void TearDown() override { SetLowLatencyRequest(Previous); }
  TLowLatencyRequest Previous = nullptr;
};

}  // namespace

TEST_F(LowLatencyTest, OpenAsksOnceAndAPseudoTerminalsRefusalIsHarmless) {
  TPtyPair pty;
  // Whatever the driver says, or even a failure no driver should give.
  for (int fail : {0, EIO}) {
    SCOPED_TRACE(fail);
    Attempts.clear();
    FailWith = fail;
    TComPort port;
    port.SetPort(pty.SlavePath());
    port.Open();
    EXPECT_TRUE(port.Connected());
    ASSERT_EQ(Attempts.size(), 1u);
    EXPECT_GE(Attempts[0].Fd, 0);
    if (fail == 0) {
      EXPECT_TRUE(Attempts[0].Result == ENOTTY || Attempts[0].Result == EINVAL) << Attempts[0].Result;
    }
    // The line works after the refusal.
    EXPECT_EQ(port.Write("\x10\x02", 2), 2);
    EXPECT_EQ(pty.Receive(2), "\x10\x02");
    port.Close();
  }
  // A device that does not open is never asked.
  Attempts.clear();
  TComPort missing;
  missing.SetPort("/nonexistent/ttyUSB9");
  EXPECT_THROW(missing.Open(), EComPort);
  EXPECT_TRUE(Attempts.empty());
}
