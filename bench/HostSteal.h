// Time the hypervisor gave to other guests while this machine wanted the CPU
// ("steal" in /proc/stat). A paced transfer waits on wake-ups, so its excess
// over the wire time grows with the steal; the paced figures print it beside
// them so that a run on a crowded host is read as such.
#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

// Seconds stolen so far, summed over every CPU; 0 where the kernel does not
// say.
inline double StealSeconds() {
  std::ifstream in("/proc/stat");
  std::string line;
  if (!std::getline(in, line) || line.rfind("cpu ", 0) != 0) return 0;
  std::istringstream fields(line.substr(4));
  unsigned long long v[8] = {};
  for (unsigned long long &x : v) fields >> x;  // user nice system idle iowait irq softirq steal
  const long tick = sysconf(_SC_CLK_TCK);
  return tick > 0 ? double(v[7]) / double(tick) : 0;
}

// "  host steal 12.3 %": the steal since `from` as a share of `wall` seconds
// of every CPU.
inline std::string StealNote(double from, double wall) {
  const long cpus = sysconf(_SC_NPROCESSORS_ONLN);
  const double share = wall > 0 && cpus > 0 ? (StealSeconds() - from) / (wall * double(cpus)) * 100 : 0;
  char text[48];
  std::snprintf(text, sizeof text, "  host steal %4.1f %%", share);
  return text;
}
