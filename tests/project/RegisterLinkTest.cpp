// Opening a project's link: its settings, the port map, the slot of the
// action in progress, and what a failure says.
#include <gtest/gtest.h>

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
    Context.CurrentLink = &Slot;
  }
  TSimProgramDir Env;  // COM3 leads to its simulator
  TProjectContext Context;
  TTARVO *Slot = nullptr;
};

}  // namespace

TEST_F(RegisterLinkTest, AProjectWithoutSettingsSaysSoBeforeThePortMessage) {
  TRegisterSession session(Context, false);
  EXPECT_EQ(Slot, &session.Link());
  TActionResult failure;
  EXPECT_FALSE(session.Open(failure));
  EXPECT_EQ(failure.Notice, "Nu ai setat parametrii de comunicatie seriala !\r");
  EXPECT_EQ(failure.Message, "Nu pot deschide portul serial !\r");
  EXPECT_TRUE(session.Link().LastError().empty());  // the link was not touched
}

TEST_F(RegisterLinkTest, TheMappedPortOpensAtTheProjectsSpeedAndTheSlotEmptiesAtTheEnd) {
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
  EXPECT_EQ(Slot, nullptr);
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
  EXPECT_NE(reason.find("nu-exista: Unable to open com port"), std::string::npos) << reason;
}

TEST(ActionResult, TheReasonLineNamesTheRowThatFailed) {
  TActionResult r = TActionResult::Failure("Operatie nereusita!\r", "Lipsa cota TVA asociata PLU / Dept");
  EXPECT_EQ(r.Text(), "Operatie nereusita!\rLipsa cota TVA asociata PLU / Dept");
  r.RowCode = "3";
  EXPECT_EQ(r.Text(), "Operatie nereusita!\rCod 3: Lipsa cota TVA asociata PLU / Dept");
  EXPECT_EQ(TActionResult::Success().Text(), "");
}
