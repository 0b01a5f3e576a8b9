#include "ComPortMap.h"

#include "IniFile.h"
#include "NetAddress.h"
#include "NetFault.h"
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
  if (!device.empty() && device.front() != '/' && !IsPortUrl(device)) device = ProgramDirectory() + device;
  return device;
}

std::string PortDevice(int comNumber) {
  std::string device = MappedPortDevice(comNumber);
  if (!device.empty()) return device;
  // COM0 and other numbers no port has stay names that do not open.
  return MapPortName("COM" + std::to_string(comNumber));
}

bool SavePortDevice(int comNumber, const std::string &device, std::string *reason) {
  auto refuse = [&](const std::string &why) {
    if (reason) *reason = why;
    return false;
  };
  if (comNumber < 1 || comNumber > 255) return refuse("there is no port COM" + std::to_string(comNumber));
  if (device.empty()) return refuse("no device named");
  for (unsigned char c : device)
    if (c < 0x20 || c == 0x7F) return refuse("a device path cannot hold control characters");
  if (IsPortUrl(device)) {
    TNetAddress address;
    std::string why;
    if (!ParseNetAddress(device, address, &why)) return refuse(NetFaultText(TNetFault::BadAddress, device, 0, why));
  }
  TIniFile ini;
  std::string why;
  if (!ini.Load(TarvoIniPath(), &why)) return refuse(TarvoIniPath() + ": " + why);
  // Blanks at either end would be trimmed away when the file is read back.
  const bool quote = device.front() == ' ' || device.back() == ' ' ||
                     (device.size() >= 2 && (device.front() == '"' || device.front() == '\'') &&
                      device.back() == device.front());
  ini.SetValue("Porturi", "COM" + std::to_string(comNumber), quote ? '"' + device + '"' : device);
  ini.Save(TarvoIniPath());
  return true;
}
