#include "ComPortMap.h"

#include "IniFile.h"
#include "PortMap.h"
#include "ProgramDir.h"

namespace {

std::string Unquoted(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::string MappedPortDevice(int comNumber) {
  if (comNumber < 1 || comNumber > 255) return {};
  TIniFile ini;
  if (!ini.Load(TarvoIniPath())) return {};
  std::string device = Unquoted(ini.Value("Porturi", "COM" + std::to_string(comNumber), ""));
  if (!device.empty() && device.front() != '/') device = ProgramDirectory() + device;
  return device;
}

std::string PortDevice(int comNumber) {
  std::string device = MappedPortDevice(comNumber);
  if (!device.empty()) return device;
  // COM0 and other numbers no port has stay names that do not open.
  return MapPortName("COM" + std::to_string(comNumber));
}
