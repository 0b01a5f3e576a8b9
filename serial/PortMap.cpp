// The port map: where "COMn" leads on this machine.
#include "PortMap.h"

#include <climits>
#include <mutex>
#include <unistd.h>

// Bytes as they stand: the file is in the register's 8-bit code page, not
// UTF-8. Debian's header keeps the template bodies behind SI_IMPLEMENTATION
// (else it expects its ICU-linked library); the narrow class is the same
// either way, so this unit needs neither the library nor ICU.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace {

std::mutex DirectoryLock;
std::string DirectoryOverride;

// "COM" followed by 1..255 without leading zeros, as Windows names ports.
int ComNumber(const std::string &port) {
  if (port.size() < 4 || port.size() > 6 || port.compare(0, 3, "COM") != 0) return 0;
  if (port[3] == '0') return 0;
  int n = 0;
  for (size_t i = 3; i < port.size(); ++i) {
    if (port[i] < '0' || port[i] > '9') return 0;
    n = n * 10 + (port[i] - '0');
  }
  return n <= 255 ? n : 0;
}

std::string Unquoted(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::string ProgramDirectory() {
  {
    std::lock_guard<std::mutex> guard(DirectoryLock);
    if (!DirectoryOverride.empty()) return DirectoryOverride;
  }
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  std::string exe(path, size_t(n));
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

void SetProgramDirectory(const std::string &dir) {
  std::lock_guard<std::mutex> guard(DirectoryLock);
  DirectoryOverride = dir;
  if (!DirectoryOverride.empty() && DirectoryOverride.back() != '/') DirectoryOverride += '/';
}

std::string MapPortName(const std::string &port) {
  const int number = ComNumber(port);
  if (number == 0) return port;

  const std::string dir = ProgramDirectory();
  // Section and key names compare without letter case, as Windows INI files do.
  CSimpleIniA ini(false, false, false);
  if (ini.LoadFile((dir + "TARVOPROG.INI").c_str()) >= 0) {
    const char *value = ini.GetValue("Porturi", port.c_str(), nullptr);
    if (value) {
      std::string device = Unquoted(value);
      if (!device.empty()) {
        // A relative path means beside the program, never the current
        // directory of whoever started it.
        if (device.front() != '/') device = dir + device;
        return device;
      }
    }
  }
  return "/dev/ttyS" + std::to_string(number - 1);
}
