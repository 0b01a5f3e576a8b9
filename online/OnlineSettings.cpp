#include "OnlineSettings.h"

#include "AtomicFile.h"
#include "FieldText.h"
#include "IniFile.h"
#include "ProgramDir.h"

namespace {

std::string IniPath(const std::string &path) { return path.empty() ? TarvoIniPath() : path; }

}  // namespace

TOnlineSettings ReadOnlineSettings(const TIniFile &ini) {
  TOnlineSettings s;
  s.PortOnline = WholeOr(ini.Value(OnlineSection, "PortOnline", ""), 1);
  s.BaudRateOnline = WholeOr(ini.Value(OnlineSection, "BaudRateOnline", ""), 3);
  if (s.BaudRateOnline < 1 || s.BaudRateOnline > 3) s.BaudRateOnline = 3;
  const std::string active = ini.Value(OnlineSection, "OnlineActiv", "N");
  s.OnlineActiv = active == "D" || active == "d";
  s.DirectorLucru = ini.Value(OnlineSection, "DirectorLucru", "");
  if (s.DirectorLucru.empty()) {
    s.DirectorLucru = ProgramDirectory();
  } else {
    if (s.DirectorLucru.front() != '/') s.DirectorLucru = ProgramDirectory() + s.DirectorLucru;
    if (s.DirectorLucru.back() != '/') s.DirectorLucru += '/';
  }
  return s;
}

bool LoadOnlineSettings(TOnlineSettings &settings, std::string *error, const std::string &path) {
  TIniFile ini;
  const bool ok = ini.Load(IniPath(path), error);
  settings = ReadOnlineSettings(ini);  // a file that failed reads as empty
  return ok;
}

void StoreOnlineSettings(const TOnlineSettings &s, TIniFile &ini) {
  ini.SetValue(OnlineSection, "PortOnline", std::to_string(s.PortOnline));
  ini.SetValue(OnlineSection, "BaudRateOnline", std::to_string(s.BaudRateOnline));
  ini.SetValue(OnlineSection, "DirectorLucru", s.DirectorLucru);
  ini.SetValue(OnlineSection, "OnlineActiv", s.OnlineActiv ? "D" : "N");
}

void SaveOnlineSettings(const TOnlineSettings &settings, const std::string &path) {
  const std::string file = IniPath(path);
  TIniFile ini;
  std::string error;
  // The port map and whatever else the file holds must survive the write.
  if (!ini.Load(file, &error)) throw EFileWrite(file, error + " (fisierul existent nu poate fi citit)");
  StoreOnlineSettings(settings, ini);
  ini.Save(file);
}

int PortItemIndex(int portOnline) { return portOnline >= 1 && portOnline <= 16 ? portOnline - 1 : 0; }

int RateItemIndex(int baudRateOnline) {
  return baudRateOnline >= 1 && baudRateOnline <= 3 ? baudRateOnline - 1 : 2;
}
