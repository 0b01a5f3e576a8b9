// Opening a project's link: its settings, the port map and what a failure
// says.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ProgramDir.h"
#include "RegisterLink.h"
#include "SerialSettings.h"
#include "SimProgramDir.h"
#include "TarvoCore.h"

namespace {

class RegisterLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Context.Dir = Env.Dir.Path();
  }
  TSimProgramDir Env;  // COM3 leads to its simulator
  TProjectContext Context;
};

}  // namespace

TEST_F(RegisterLinkTest, AProjectWithoutSettingsSaysSoBeforeThePortMessage) {
  TRegisterSession session(Context, false);
  TActionResult failure;
  EXPECT_FALSE(session.Open(failure));
  EXPECT_EQ(failure.Notice, "Nu ai setat parametrii de comunicatie seriala !\r");
  EXPECT_EQ(failure.Message, "Nu pot deschide portul serial !\r");
  EXPECT_TRUE(session.Link().LastError().empty());  // the link was not touched
}

TEST_F(RegisterLinkTest, TheMappedPortOpensAtTheProjectsSpeed) {
  SaveSerialSettings(Env.Dir.Path(), {3, 1});
  {
    TRegisterSession session(Context, false);
    TActionResult failure;
    ASSERT_TRUE(session.Open(failure)) << failure.Text();
    EXPECT_EQ(session.Link().PortBaud, br19200);
    TLineList lines;
    EXPECT_TRUE(session.Link().ReadLines("D1200", lines));
    EXPECT_EQ(lines.size(), 2u);
  }
}

TEST_F(RegisterLinkTest, APortThatDoesNotOpenNamesItsDeviceAndTheReason) {
  SaveSerialSettings(Env.Dir.Path(), {0, 9});  // port 0 exists nowhere; code 9 falls back to 57600
  TRegisterSession session(Context, true);
  TActionResult failure;
  EXPECT_FALSE(session.Open(failure));
  EXPECT_EQ(session.Link().PortBaud, br57600);
  EXPECT_EQ(failure.Message, "Nu pot deschide portul serial !\r");
  EXPECT_EQ(failure.Reason.rfind("COM0 (COM0): ", 0), 0u) << failure.Reason;
  EXPECT_EQ(failure.Text(), "Nu pot deschide portul serial !\r" + failure.Reason);

  TActionResult direct;
  TLinkOptions device;
  device.Device = Env.Dir.Path() + "/nu-exista";
  TTARVO link(false);
  std::string reason;
  EXPECT_FALSE(ConnectLink(link, {1, 3}, device, &reason));
  EXPECT_EQ(reason, device.Device + ": portul nu exista [8045, errno 2]");
}

// Another program holds the register's line: the reason says so in the
// user's words and names that program, not the OS's "Resource temporarily
// unavailable".
TEST_F(RegisterLinkTest, APortHeldByAnotherProgramNamesIt) {
  SaveSerialSettings(Env.Dir.Path(), {TSimProgramDir::Com, 3});
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {  // holds the line as an open link does, until killed
    const int fd = ::open((Env.Dir.Path() + "/sim").c_str(), O_RDWR | O_NOCTTY);
    const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? '1' : '0';
    (void)!::write(ready[1], &ok, 1);
    ::pause();
    ::_exit(0);
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  TRegisterSession session(Context, false);
  TActionResult failure;
  const bool opened = session.Open(failure);
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  ASSERT_EQ(ok, '1');
  EXPECT_FALSE(opened);
  EXPECT_EQ(failure.Reason.rfind("COM" + std::to_string(TSimProgramDir::Com) + " (", 0), 0u) << failure.Reason;
  EXPECT_NE(failure.Reason.find("): portul este folosit de alt program: "), std::string::npos) << failure.Reason;
  EXPECT_NE(failure.Reason.find("(pid " + std::to_string(holder) + ") [8045, errno 11]"), std::string::npos)
      << failure.Reason;
}

TEST(ActionResult, TheReasonLineNamesTheRowThatFailed) {
  TActionResult r = TActionResult::Failure("Operatie nereusita!\r", "Lipsa cota TVA asociata PLU / Dept");
  EXPECT_EQ(r.Text(), "Operatie nereusita!\rLipsa cota TVA asociata PLU / Dept");
  r.RowCode = "3";
  EXPECT_EQ(r.Text(), "Operatie nereusita!\rCod 3: Lipsa cota TVA asociata PLU / Dept");
  EXPECT_EQ(TActionResult::Success().Text(), "");
}
