#include "SerialDevices.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <grp.h>
#include <memory>
#include <sstream>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

std::vector<std::string> Entries(const std::string &dir) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR *)> d(::opendir(dir.c_str()), ::closedir);
  if (!d) return names;
  while (const dirent *e = ::readdir(d.get()))
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
  return names;
}

std::string FirstLine(const std::string &path) {
  std::ifstream in(path);
  std::string line;
  if (!in || !std::getline(in, line)) return "";
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

bool AllDigits(const std::string &s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string LastComponent(const std::string &path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The kinds of serial device a register hangs on, in the order they are listed.
const char *const Kinds[] = {"ttyS", "ttyUSB", "ttyACM"};

// Index of the kind of a device name and its number; -1 for any other name.
int KindOf(const std::string &name, long *number) {
  for (int k = 0; k < 3; ++k) {
    const size_t n = std::strlen(Kinds[k]);
    if (name.compare(0, n, Kinds[k]) == 0 && AllDigits(name.substr(n)) && name.size() - n <= 6) {
      *number = std::strtol(name.c_str() + n, nullptr, 10);
      return k;
    }
  }
  return -1;
}

std::string UserName(uid_t uid) {
  if (const passwd *pw = ::getpwuid(uid)) return pw->pw_name;
  return std::to_string(uid);
}

// Whether the user's account lists gid, though this session may not have it yet.
bool AccountInGroup(gid_t gid) {
  const passwd *pw = ::getpwuid(::geteuid());
  if (!pw) return false;
  if (pw->pw_gid == gid) return true;
  const std::string user = pw->pw_name;
  if (const group *g = ::getgrgid(gid))
    for (char **m = g->gr_mem; m && *m; ++m)
      if (user == *m) return true;
  return false;
}

int LatencyTimer(const TSystemRoots &roots, const std::string &name) {
  for (const std::string &path : {roots.Sys + "/bus/usb-serial/devices/" + name + "/latency_timer",
                                  roots.Sys + "/class/tty/" + name + "/device/latency_timer"}) {
    const std::string text = FirstLine(path);
    if (AllDigits(text) && text.size() < 6) return std::atoi(text.c_str());
  }
  return -1;
}

std::string Driver(const TSystemRoots &roots, const std::string &name) {
  // Newer kernels put a generic serial-base "port" and "ctrl" between a
  // UART and the driver of its hardware; the one a technician knows is above them.
  std::string device = roots.Sys + "/class/tty/" + name + "/device";
  for (int up = 0; up < 4; ++up, device += "/..") {
    char target[PATH_MAX];
    const ssize_t n = ::readlink((device + "/driver").c_str(), target, sizeof target - 1);
    if (n <= 0) return "";
    const std::string driver(target, size_t(n));
    if (driver.find("/serial-base/") == std::string::npos) return LastComponent(driver);
  }
  return "";
}

}  // namespace

std::string RealPath(const std::string &path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

THolderIndex ScanHolders(const TSystemRoots &roots) {
  THolderIndex index;
  const int self = int(::getpid());
  for (const std::string &pidName : Entries(roots.Proc)) {
    if (!AllDigits(pidName) || pidName.size() > 9) continue;
    const int pid = std::atoi(pidName.c_str());
    if (pid == self) continue;
    const std::string fdDir = roots.Proc + "/" + pidName + "/fd";
    std::unique_ptr<DIR, int (*)(DIR *)> d(::opendir(fdDir.c_str()), ::closedir);
    if (!d) {
      if (errno == EACCES || errno == EPERM) index.OthersHidden = true;
      continue;  // else the process ended meanwhile
    }
    std::vector<dev_t> seen;
    while (const dirent *e = ::readdir(d.get())) {
      if (!AllDigits(e->d_name)) continue;
      struct stat st {};
      if (::stat((fdDir + "/" + e->d_name).c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) continue;
      if (std::find(seen.begin(), seen.end(), st.st_rdev) != seen.end()) continue;
      seen.push_back(st.st_rdev);
      index.ByDevice[st.st_rdev].push_back({pid, FirstLine(roots.Proc + "/" + pidName + "/comm")});
    }
  }
  // "1: FLOCK  ADVISORY  WRITE 4242 00:19:5 0 EOF": major and minor in hex.
  // Waiters ("1: -> FLOCK ...") claim nothing yet.
  std::ifstream locks(roots.Proc + "/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream words(line);
    std::string id, kind, advisory, mode, pidText, where;
    if (!(words >> id >> kind >> advisory >> mode >> pidText >> where) || kind == "->") continue;
    unsigned major = 0, minor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(where.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3) continue;
    const int pid = AllDigits(pidText) && pidText.size() <= 9 ? std::atoi(pidText.c_str()) : -1;
    index.Locks[{makedev(major, minor), ino_t(inode)}] = {
        pid, pid > 0 ? FirstLine(roots.Proc + "/" + std::to_string(pid) + "/comm") : ""};
  }
  return index;
}

namespace {

// What stands between this user and a device, once access was refused.
struct TAccessFacts {
  bool Known = false;        // the refusal was EACCES on a node that could be looked at
  bool GroupFix = false;     // group read and write: joining the group fixes it
  bool JoinedLater = false;  // the account is in that group, this session not yet
  std::string Group, User, Owner;
  unsigned Mode = 0;
};

TAccessFacts AccessFacts(const std::string &path, int err) {
  TAccessFacts f;
  struct stat st {};
  if (err != EACCES || ::stat(path.c_str(), &st) != 0) return f;
  f.Known = true;
  const group *g = ::getgrgid(st.st_gid);
  f.Group = g ? g->gr_name : std::to_string(st.st_gid);
  f.User = UserName(::geteuid());
  f.Owner = UserName(st.st_uid);
  f.Mode = unsigned(st.st_mode & 07777);
  f.GroupFix = (st.st_mode & 0060) == 0060 && st.st_gid != 0;
  f.JoinedLater = f.GroupFix && AccountInGroup(st.st_gid);
  return f;
}

std::string ModeText(unsigned mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", mode);
  return text;
}

}  // namespace

std::string DeviceAccessProblem(const std::string &path) {
  if (::access(path.c_str(), R_OK | W_OK) == 0) return "";
  const int err = errno;
  const TAccessFacts f = AccessFacts(path, err);
  if (!f.Known) return std::strerror(err);
  if (f.JoinedLater)
    return "the device belongs to group " + f.Group + ", which this user joined after logging in: log out and in again";
  if (f.GroupFix)
    return "the device belongs to group " + f.Group + ": sudo usermod -aG " + f.Group + " " + f.User +
           ", then log in again";
  return "only " + f.Owner + " may open it (mode " + ModeText(f.Mode) + ", group " + f.Group + ")";
}

std::string DeviceAccessFix(const std::string &path) {
  const TAccessFacts f = AccessFacts(path, EACCES);
  if (!f.Known) return "";
  if (f.JoinedLater)
    return "utilizatorul " + f.User + " este in grupul " + f.Group +
           " doar de la ultima autentificare: iesiti din sesiune si intrati din nou";
  if (f.GroupFix)
    return "adaugati utilizatorul " + f.User + " in grupul " + f.Group + " (sudo usermod -aG " + f.Group + " " +
           f.User + "), apoi autentificati-va din nou";
  return "doar " + f.Owner + " poate deschide portul (mod " + ModeText(f.Mode) + ", grup " + f.Group + ")";
}

TSerialDevice InspectDevice(const std::string &path, const std::string &name, const TSystemRoots &roots,
                            const THolderIndex &holders) {
  TSerialDevice d;
  d.Path = path;
  const std::string real = RealPath(path);
  d.Name = name.empty() ? LastComponent(real) : name;
  struct stat st {};
  d.Exists = ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
  if (!d.Exists) return d;
  d.AccessProblem = DeviceAccessProblem(path);
  if (auto it = holders.ByDevice.find(st.st_rdev); it != holders.ByDevice.end()) d.Holders = it->second;
  if (auto it = holders.Locks.find({st.st_dev, st.st_ino}); it != holders.Locks.end()) {
    d.Locked = true;
    d.Locker = it->second;
  }
  for (const std::string &id : Entries(roots.Dev + "/serial/by-id")) {
    const std::string link = roots.Dev + "/serial/by-id/" + id;
    if (!real.empty() && RealPath(link) == real) d.ById.push_back(link);
  }
  std::sort(d.ById.begin(), d.ById.end());
  if (!d.Name.empty()) {
    d.Driver = Driver(roots, d.Name);
    d.LatencyTimerMs = LatencyTimer(roots, d.Name);
    // serial_core gives every ttyS name a type; 0 means no UART answered there.
    d.NoUart = d.Name.compare(0, 4, "ttyS") == 0 && FirstLine(roots.Sys + "/class/tty/" + d.Name + "/type") == "0";
  }
  return d;
}

TSerialDeviceList FindSerialDevices(const TSystemRoots &roots, const THolderIndex *holders) {
  struct TFound {
    int Kind;
    long Number;
    std::string Name;
  };
  std::vector<TFound> found;
  for (const std::string &name : Entries(roots.Dev)) {
    long number = 0;
    const int kind = KindOf(name, &number);
    if (kind >= 0) found.push_back({kind, number, name});
  }
  std::sort(found.begin(), found.end(), [](const TFound &a, const TFound &b) {
    return a.Kind != b.Kind ? a.Kind < b.Kind : a.Number < b.Number;
  });

  TSerialDeviceList list;
  const THolderIndex scanned = holders ? THolderIndex() : ScanHolders(roots);
  const THolderIndex &index = holders ? *holders : scanned;
  list.OthersHidden = index.OthersHidden;
  for (const TFound &f : found) {
    TSerialDevice d = InspectDevice(roots.Dev + "/" + f.Name, f.Name, roots, index);
    if (!d.Exists) continue;
    if (d.NoUart) {
      ++list.HiddenUarts;
      continue;
    }
    list.Devices.push_back(std::move(d));
  }
  return list;
}

std::string PortInUseReason(const std::string &path, const TSystemRoots &roots) {
  const THolderIndex holders = ScanHolders(roots);
  const TSerialDevice d = InspectDevice(path, "", roots, holders);
  std::vector<TPortHolder> who;
  if (d.Locked && d.Locker.Pid > 0) who.push_back(d.Locker);
  for (const TPortHolder &h : d.Holders)
    if (who.empty() || h.Pid != who.front().Pid) who.push_back(h);
  std::string text = "portul este folosit de alt program";
  for (size_t i = 0; i < who.size(); ++i)
    text += (i ? ", " : ": ") + (who[i].Command.empty() ? std::string("?") : who[i].Command) + " (pid " +
            std::to_string(who[i].Pid) + ")";
  if (who.empty() && holders.OthersHidden) text += " (poate al altui utilizator)";
  return text;
}
