// What a technician needs to see about serial ports: where each COM port
// leads, which serial devices this machine has, and what keeps one from
// opening; and the one change to make there, mapping a COM port to a device.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

#include "AtomicFile.h"
#include "ComPortMap.h"
#include "NetAddress.h"
#include "Output.h"
#include "ProgramDir.h"
#include "SerialDevices.h"
#include "Subcommands.h"
#include "TcpSocket.h"

namespace {

std::string Holder(const TPortHolder &h) {
  if (h.Pid <= 0) return "a process /proc/locks does not name";
  return std::to_string(h.Pid) + (h.Command.empty() ? "" : " (" + h.Command + ")");
}

std::string Holders(const std::vector<TPortHolder> &holders) {
  std::string text;
  for (const TPortHolder &h : holders) text += (text.empty() ? "" : ", ") + Holder(h);
  return text;
}

// Open elsewhere is not yet in the way; locked (as this program locks the
// line it uses) is.
std::string Use(const TSerialDevice &d) {
  if (d.Locked) return "locked by " + Holder(d.Locker) + ": it cannot be opened until that ends";
  if (!d.Holders.empty()) return "open in " + Holders(d.Holders);
  return "";
}

// One line's worth: what stands between this user and opening the device.
std::string Status(const TSerialDevice &d) {
  if (!d.Exists) {
    struct stat st {};
    return ::stat(d.Path.c_str(), &st) == 0 ? "not a serial device" : "no such device";
  }
  if (d.NoUart) return "no UART behind it";
  std::string status;
  if (!d.AccessProblem.empty()) status = "no access: " + d.AccessProblem;
  if (const std::string use = Use(d); !use.empty()) status += (status.empty() ? "" : "; ") + use;
  return status.empty() ? "ready" : status;
}

// A device server: whether something accepts a connection there, within a
// second and a half. The connection is closed at once.
std::string AddressStatus(const std::string &url) {
  const std::string why = ProbeTcp(url, 1500);
  return why.empty() ? "answers" : "does not answer: " + why;
}

int RunList() {
  const TSystemRoots roots;
  const THolderIndex holders = ScanHolders(roots);
  const TSerialDeviceList list = FindSerialDevices(roots, &holders);

  struct TCom {
    std::string Device;
    bool Mapped;
    TSerialDevice Info;
    bool Url;
  };
  std::vector<TCom> coms;
  size_t width = 0;
  for (int n = 1; n <= 16; ++n) {
    const std::string device = PortDevice(n);
    const bool url = IsPortUrl(device);
    coms.push_back({device, !MappedPortDevice(n).empty(),
                    url ? TSerialDevice{} : InspectDevice(device, "", roots, holders), url});
    width = std::max(width, std::min<size_t>(device.size(), 40));
  }

  OutF("program directory: %s\n", ProgramDirectory().c_str());
  OutF("COM ports ([Porturi] of %s, else /dev/ttyS(n-1)):\n", TarvoIniPath().c_str());
  for (size_t i = 0; i < coms.size(); ++i) {
    const TCom &c = coms[i];
    OutF("  COM%-3zu %-*s %-9s %s\n", i + 1, int(width), c.Device.c_str(), c.Mapped ? "[Porturi]" : "",
                (c.Url ? AddressStatus(c.Device) : Status(c.Info)).c_str());
  }

  OutF("serial devices:\n");
  if (list.Devices.empty()) OutF("  none found\n");
  for (const TSerialDevice &d : list.Devices) {
    std::string ports;
    const std::string real = RealPath(d.Path);
    for (size_t i = 0; i < coms.size(); ++i)
      if (coms[i].Info.Exists && RealPath(coms[i].Device) == real)
        ports += (ports.empty() ? "" : ", ") + std::string("COM") + std::to_string(i + 1);
    OutF("  %s%s\n", d.Path.c_str(), ports.empty() ? "" : ("  (" + ports + ")").c_str());
    for (const std::string &id : d.ById) OutF("    by-id: %s\n", id.c_str());
    if (!d.Driver.empty()) OutF("    driver: %s\n", d.Driver.c_str());
    OutF("    this user may open it: %s\n", d.AccessProblem.empty() ? "yes" : ("no, " + d.AccessProblem).c_str());
    if (!d.Holders.empty() || d.Locked)
      OutF("    in use: %s\n", Use(d).c_str());
    else if (list.OthersHidden)
      OutF("    in use: not by this user's processes (other users' show to root only)\n");
    else
      OutF("    in use: no\n");
    if (d.LatencyTimerMs >= 0)
      OutF("    latency timer: %d ms%s\n", d.LatencyTimerMs,
                  d.LatencyTimerMs > 1 ? " (this program asks for 1 ms when it opens the port)" : "");
  }
  if (list.HiddenUarts > 0)
    OutF("  (%d ttyS name%s without a UART behind %s not listed)\n", list.HiddenUarts,
                list.HiddenUarts == 1 ? "" : "s", list.HiddenUarts == 1 ? "it" : "them");
  return ExitOk;
}

// "COM3", "com3" or "3".
int ComNumber(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
  if (text.compare(0, 3, "COM") == 0) text.erase(0, 3);
  return int(ParseNumber(text, 1, 255).value_or(0));
}

int RunMap(TCliContext &cx) {
  const int n = ComNumber(cx.Args[1]);
  if (n == 0) return UsageError(cx, "COMn must be COM1 to COM255 (the program offers COM1 to COM16)");
  std::string device = cx.Args[2];
  const bool url = IsPortUrl(device);
  // Typed in a shell, a relative path means the current directory; in the
  // INI file it would mean the program directory.
  if (!device.empty() && device.front() != '/' && !url) device = AbsolutePath(device);
  std::string why;
  try {
    if (!SavePortDevice(n, device, &why)) return Fail(why);
  } catch (const EFileWrite &e) {
    return Fail(e.what());
  }
  OutF("COM%d=%s\n", n, device.c_str());
  // A device server is not asked here: a connection may take its line from
  // whoever is using it. "tarvoctl ports" asks, when the user wants to know.
  if (url) return ExitOk;
  struct stat st {};
  if (::stat(device.c_str(), &st) != 0)
    std::fprintf(stderr, "tarvoctl: note: %s is not there (yet)\n", device.c_str());
  else if (!S_ISCHR(st.st_mode))
    std::fprintf(stderr, "tarvoctl: note: %s is not a serial device\n", device.c_str());
  return ExitOk;
}

int RunPorts(TCliContext &cx) {
  if (cx.Args.empty()) return RunList();
  if (cx.Args[0] == "map" && cx.Args.size() == 3) return RunMap(cx);
  return UsageError(cx, "ports, or ports map COMn PATH|URL");
}

}  // namespace

const TSubcommand CmdPorts = {
    "ports",
    "  ports                                COM1-COM16 and the devices they lead to (a device\n"
    "                                       server's address: whether it answers); every serial\n"
    "                                       device: by-id names, access, holder, latency timer\n"
    "  ports map COMn PATH|URL              make COMn lead to PATH, or to a serial device server\n"
    "                                       at tcp://HOST:PORT or rfc2217://HOST:PORT\n"
    "                                       ([Porturi] of TARVOPROG.INI)\n",
    RunPorts};
