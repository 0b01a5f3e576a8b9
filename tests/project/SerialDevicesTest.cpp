// What `tarvoctl ports` sees, over pseudo-terminals standing in for serial
// devices: a /dev of links to them, a sysfs tree of our own, and the real
// /proc with one of them held by another process.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "OrdinaryUser.h"
#include "PtyPair.h"
#include "ScratchDir.h"
#include "SerialDevices.h"

namespace {

// A process that holds path open until it is killed, locking it as this
// program locks the line it uses when lock is set.
class THolder {
 public:
  explicit THolder(const std::string &path, bool lock = false) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    Pid = ::fork();
    if (Pid == 0) {
      ::prctl(PR_SET_NAME, "tarvo-holder");
      const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
      const bool ok = fd >= 0 && (!lock || ::flock(fd, LOCK_EX | LOCK_NB) == 0);
      (void)!::write(ready[1], ok ? "y" : "n", 1);
      for (;;) ::pause();
    }
    char c = 0;
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    Holding = c == 'y';
  }
  ~THolder() {
    if (Pid > 0) {
      ::kill(Pid, SIGKILL);
      ::waitpid(Pid, nullptr, 0);
    }
  }
  pid_t Pid = -1;
  bool Holding = false;
};

class SerialDevicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Roots.Dev = Dir.Path() + "/dev";
    Roots.Sys = Dir.Path() + "/sys";
  }
  void Link(const std::string &path, const std::string &target) {
    Make(path.substr(0, path.rfind('/')));
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0) << path;
  }
  void Write(const std::string &path, const std::string &text) {
    Make(path.substr(0, path.rfind('/')));
    std::ofstream(path) << text;
  }
  void Make(const std::string &dir) { ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0); }

  TScratchDir Dir;
  TSystemRoots Roots;
};

const TSerialDevice *Find(const TSerialDeviceList &list, const std::string &name) {
  for (const TSerialDevice &d : list.Devices)
    if (d.Name == name) return &d;
  return nullptr;
}

}  // namespace

TEST_F(SerialDevicesTest, ListsTheSerialDevicesWithTheirNamesDriversHoldersAndLatency) {
  // The master sides only: the test process must not hold the devices it asks about.
  TPtyPair usb0(TPtyPair::Released), usb10(TPtyPair::Released), acm0(TPtyPair::Released),
      s0(TPtyPair::Released), s1(TPtyPair::Released);
  const std::string dev = Roots.Dev, sys = Roots.Sys;
  Link(dev + "/ttyUSB0", usb0.SlavePath());
  Link(dev + "/ttyUSB10", usb10.SlavePath());
  Link(dev + "/ttyACM0", acm0.SlavePath());
  Link(dev + "/ttyS0", s0.SlavePath());
  Link(dev + "/ttyS1", s1.SlavePath());
  // Names that are no serial device of ours, or lead nowhere.
  Link(dev + "/ttyUSB3", "/nonexistent/ttyUSB3");
  Link(dev + "/ttyUSBx", usb0.SlavePath());
  Link(dev + "/tty1", usb0.SlavePath());
  Write(dev + "/ttyACM1", "a plain file");
  Link(dev + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0", "../../ttyUSB0");
  Link(dev + "/serial/by-id/usb-Arduino_Uno_B2-if00", "../../ttyACM0");

  Write(sys + "/bus/usb-serial/devices/ttyUSB0/latency_timer", "16\n");
  Link(sys + "/class/tty/ttyUSB0/device/driver", "../../../../bus/usb-serial/drivers/ftdi_sio");
  Write(sys + "/class/tty/ttyUSB10/device/latency_timer", "1\n");
  Write(sys + "/class/tty/ttyS0/type", "0\n");  // no UART answered there
  Write(sys + "/class/tty/ttyS1/type", "4\n");
  // A newer kernel's generic layers between the UART and its driver.
  Link(sys + "/class/tty/ttyS1/device/driver", "../../../bus/serial-base/drivers/port");
  Link(sys + "/class/tty/ttyS1/driver", "../../bus/serial-base/drivers/ctrl");
  Link(sys + "/class/tty/driver", "../bus/pnp/drivers/serial");

  THolder holder(usb0.SlavePath()), locker(acm0.SlavePath(), true);
  ASSERT_TRUE(holder.Holding);
  ASSERT_TRUE(locker.Holding);
  const TSerialDeviceList list = FindSerialDevices(Roots);

  std::vector<std::string> names;
  for (const TSerialDevice &d : list.Devices) names.push_back(d.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"ttyS1", "ttyUSB0", "ttyUSB10", "ttyACM0"}));
  EXPECT_EQ(list.HiddenUarts, 1);

  const TSerialDevice *u0 = Find(list, "ttyUSB0");
  ASSERT_TRUE(u0);
  EXPECT_EQ(u0->Path, dev + "/ttyUSB0");
  EXPECT_EQ(u0->ById, (std::vector<std::string>{dev + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0"}));
  EXPECT_EQ(u0->Driver, "ftdi_sio");
  EXPECT_EQ(u0->LatencyTimerMs, 16);
  EXPECT_EQ(u0->AccessProblem, "");
  ASSERT_EQ(u0->Holders.size(), 1u);
  EXPECT_EQ(u0->Holders[0].Pid, holder.Pid);
  EXPECT_EQ(u0->Holders[0].Command, "tarvo-holder");
  EXPECT_FALSE(u0->Locked);  // open elsewhere, but not locked against this program

  const TSerialDevice *u10 = Find(list, "ttyUSB10");
  ASSERT_TRUE(u10);
  EXPECT_EQ(u10->LatencyTimerMs, 1);
  EXPECT_TRUE(u10->Holders.empty());
  EXPECT_FALSE(u10->Locked);
  EXPECT_TRUE(u10->ById.empty());

  const TSerialDevice *a0 = Find(list, "ttyACM0");
  ASSERT_TRUE(a0);
  EXPECT_EQ(a0->ById, (std::vector<std::string>{dev + "/serial/by-id/usb-Arduino_Uno_B2-if00"}));
  EXPECT_EQ(a0->LatencyTimerMs, -1);
  EXPECT_EQ(a0->Driver, "");
  EXPECT_TRUE(a0->Locked);
  EXPECT_EQ(a0->Locker.Pid, locker.Pid);
  EXPECT_EQ(a0->Locker.Command, "tarvo-holder");

  EXPECT_EQ(Find(list, "ttyS1")->Driver, "serial");

  // A COM port's device found by its own path (a link, as a simulator's is).
  const TSerialDevice com = InspectDevice(dev + "/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0", "",
                                          Roots, ScanHolders(Roots));
  EXPECT_TRUE(com.Exists);
  EXPECT_EQ(com.Holders.size(), 1u);
  EXPECT_FALSE(InspectDevice(dev + "/ttyUSB3", "", Roots, {}).Exists);
}

TEST_F(SerialDevicesTest, AUserWithoutAccessIsToldTheFix) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a device to another group";
  const group *dialout = ::getgrnam("dialout");
  if (!dialout) GTEST_SKIP() << "no dialout group here";
  TPtyPair pty(TPtyPair::Released);
  ASSERT_EQ(::chown(pty.SlavePath().c_str(), 0, dialout->gr_gid), 0);
  ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0660), 0);
  int rc = AsOrdinaryUser([&] {
    const std::string why = DeviceAccessProblem(pty.SlavePath());
    const std::string fix = DeviceAccessFix(pty.SlavePath());  // the same in the reason's words
    return why.find("group dialout") != std::string::npos && why.find("usermod -aG dialout nobody") != std::string::npos &&
                   fix == "adaugati utilizatorul nobody in grupul dialout (sudo usermod -aG dialout nobody), apoi "
                          "autentificati-va din nou"
               ? 0 : 1;
  });
  EXPECT_EQ(rc, 0) << "no dialout advice";

  // A device no group may use: only its owner, whatever group one joins.
  ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0600), 0);
  rc = AsOrdinaryUser([&] { return DeviceAccessProblem(pty.SlavePath()).find("only root may open it") == 0 ? 0 : 1; });
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(DeviceAccessProblem(pty.SlavePath()), "");  // root itself
}
