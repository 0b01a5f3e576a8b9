#include "PortMap.h"

int ComPortNumber(const std::string &port) {
  // "COM" followed by 1..255 without leading zeros, as Windows names ports.
  if (port.size() < 4 || port.size() > 6 || port.compare(0, 3, "COM") != 0) return 0;
  if (port[3] == '0') return 0;
  int n = 0;
  for (size_t i = 3; i < port.size(); ++i) {
    if (port[i] < '0' || port[i] > '9') return 0;
    n = n * 10 + (port[i] - '0');
  }
  return n <= 255 ? n : 0;
}

std::string MapPortName(const std::string &port) {
  const int number = ComPortNumber(port);
  if (number == 0) return port;
  return "/dev/ttyS" + std::to_string(number - 1);
}
