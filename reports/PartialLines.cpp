#include "PartialLines.h"

#include <cstdio>
#include <sys/stat.h>

#include "AtomicFile.h"

std::string SavePartialLines(const std::string &dir, const std::string &prefix,
                             const std::string &suffix, const TLineList &lines, std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", &local);
  std::string base = dir;
  if (!base.empty() && base.back() != '/') base += '/';
  base += prefix + stamp;
  // Two breaks in the same second must not share a file: the first one's
  // lines would be lost.
  std::string path = base + suffix;
  struct stat st {};
  for (int n = 2; ::lstat(path.c_str(), &st) == 0; ++n) path = base + "-" + std::to_string(n) + suffix;
  WriteLinesAtomic(path, lines);
  return path;
}
