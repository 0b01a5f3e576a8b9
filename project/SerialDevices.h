// The serial devices of this machine as a technician needs to see them: what
// there is and under which stable names, whether this user may open it,
// which other process holds it, and how long a USB adapter sits on the bytes
// it received before passing them on (its latency timer).
//
// /dev, /proc and /sys are read through roots that tests point at trees of
// their own. Nothing here opens a device: opening a serial port raises its
// modem lines, which resets some equipment.
#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

struct TSystemRoots {
  std::string Dev = "/dev";
  std::string Proc = "/proc";
  std::string Sys = "/sys";
};

struct TPortHolder {
  int Pid = 0;
  std::string Command;  // its /proc comm, "" when gone
};

// Which processes hold which character devices, from their /proc fd links,
// and which device nodes are locked (/proc/locks): this program locks the
// line it opens, so a locked line is one it cannot open.
struct THolderIndex {
  std::map<dev_t, std::vector<TPortHolder>> ByDevice;
  std::map<std::pair<dev_t, ino_t>, TPortHolder> Locks;  // by the node's file system and inode
  // Some processes' descriptors could not be read (other users' processes,
  // for anyone but root): a device may be held without showing here.
  bool OthersHidden = false;
};
// This process is left out: it holds nothing a technician asks about.
THolderIndex ScanHolders(const TSystemRoots &roots = {});

struct TSerialDevice {
  std::string Name;                  // "ttyUSB0"
  std::string Path;                  // under the /dev root
  bool Exists = false;               // a character device is there
  std::vector<std::string> ById;     // /dev/serial/by-id names leading to it
  std::string Driver;                // "ftdi_sio", "" when sysfs does not say
  std::string AccessProblem;         // "" when this user may open it
  std::vector<TPortHolder> Holders;  // other processes that have it open
  bool Locked = false;               // someone holds a lock on it
  TPortHolder Locker;                // who, when /proc/locks says (Pid -1: not said)
  int LatencyTimerMs = -1;           // -1: sysfs has none (not a USB-serial adapter)
  bool NoUart = false;               // a ttyS name with no UART behind it
};

struct TSerialDeviceList {
  std::vector<TSerialDevice> Devices;  // ttyS*, ttyUSB*, ttyACM*, in that order, by number
  int HiddenUarts = 0;                 // ttyS names without a UART, left out
  bool OthersHidden = false;           // see THolderIndex
};

// holders: an index already made (else one is made here).
TSerialDeviceList FindSerialDevices(const TSystemRoots &roots = {}, const THolderIndex *holders = nullptr);

// One device by path (a COM port's, which may be a link to anything); name
// is its sysfs name ("" takes the last component of where it leads).
TSerialDevice InspectDevice(const std::string &path, const std::string &name,
                            const TSystemRoots &roots, const THolderIndex &holders);

// "" when this user may read and write path; else why not and what fixes it
// (for a device of the dialout group: join the group, then log in again).
std::string DeviceAccessProblem(const std::string &path);
// The same fix in Romanian, for the reason under a port that did not open
// ("adaugati utilizatorul ion in grupul dialout (sudo usermod -aG dialout
// ion), apoi autentificati-va din nou"); "" when the node cannot be looked at.
std::string DeviceAccessFix(const std::string &path);

// Why a port that another program holds cannot be opened, in Romanian and
// naming that program where this machine says who it is: "portul este
// folosit de alt program: tarvoctl (pid 4242)".
std::string PortInUseReason(const std::string &path, const TSystemRoots &roots = {});

// Where path finally leads ("" when it leads nowhere).
std::string RealPath(const std::string &path);
