#include "StampedLogLine.h"

#include <ctime>

std::string StampedLogLine(const std::string &who, const std::string &line) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(stamp) + " " + who + ": " + line;
}
