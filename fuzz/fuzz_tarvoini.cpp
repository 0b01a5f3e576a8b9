// Feeds arbitrary bytes to the loading of TARVOPROG.INI, as a hand-edited or
// foreign file beside the program would be. The settings must come out in
// range, a file that loads must save and load back to the same settings, and
// the port map must survive the save.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "AtomicFile.h"
#include "IniFile.h"
#include "OnlineSettings.h"
#include "FuzzScratch.h"

namespace {

const std::string &Dir() { return FuzzScratchDir("fuzz-tarvoini"); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string path = Dir() + "/TARVOPROG.INI";
  WriteFuzzInput(path, data, size);
  TOnlineSettings s;
  std::string error;
  const bool loaded = LoadOnlineSettings(s, &error, path);
  if (s.BaudRateOnline < 1 || s.BaudRateOnline > 3) std::abort();
  if (s.DirectorLucru.empty() || s.DirectorLucru.front() != '/' || s.DirectorLucru.back() != '/') std::abort();
  if (PortItemIndex(s.PortOnline) < 0 || PortItemIndex(s.PortOnline) > 15) std::abort();
  if (!loaded) return 0;

  TIniFile before;
  if (!before.Load(path)) std::abort();
  try {
    SaveOnlineSettings(s, path);
  } catch (const EFileWrite &) {
    std::abort();
  }
  TOnlineSettings back;
  if (!LoadOnlineSettings(back, nullptr, path)) std::abort();
  if (back.PortOnline != s.PortOnline || back.BaudRateOnline != s.BaudRateOnline ||
      back.DirectorLucru != s.DirectorLucru || back.OnlineActiv != s.OnlineActiv)
    std::abort();
  TIniFile after;
  if (!after.Load(path)) std::abort();
  for (int n = 1; n <= 4; ++n) {
    const std::string key = "COM" + std::to_string(n);
    if (before.Value("Porturi", key) != after.Value("Porturi", key)) std::abort();
  }
  return 0;
}
