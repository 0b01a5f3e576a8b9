// The online mode's settings, section "Configurari" of TARVOPROG.INI beside
// the program: the register's port and speed, the work directory the other
// program drops its command files into, and whether online mode is on.
#pragma once

#include <string>

class TIniFile;

inline constexpr const char *OnlineSection = "Configurari";

struct TOnlineSettings {
  int PortOnline = 1;      // COM number, taken as read
  int BaudRateOnline = 3;  // 1 = 19200, 2 = 38400, 3 = 57600 bit/s
  // Ends in '/'. Written in the file as it stands here.
  std::string DirectorLucru;
  bool OnlineActiv = false;  // "D" in the file
};

// The settings an INI file holds, with the fall-backs: a PortOnline that is
// no number gives 1; a BaudRateOnline that is no number or outside 1..3
// gives 3; OnlineActiv is on for "D" or "d" only; an empty DirectorLucru is
// the program directory. A directory without a trailing '/' gets one, and a
// relative one lies in the program directory (never the current directory of
// whoever started the program).
TOnlineSettings ReadOnlineSettings(const TIniFile &ini);

// Reads the settings from path (TARVOPROG.INI when empty). A missing file
// gives the defaults; a file that exists but cannot be read gives the
// defaults and false, with the reason in *error.
bool LoadOnlineSettings(TOnlineSettings &settings, std::string *error = nullptr,
                        const std::string &path = {});

// Writes PortOnline, BaudRateOnline, DirectorLucru and OnlineActiv, in that
// order, into "Configurari", keeping every other section, key and comment of
// the file. A file that exists but cannot be read is not replaced (what it
// holds would be lost): EFileWrite. Throws EFileWrite when writing fails.
void SaveOnlineSettings(const TOnlineSettings &settings, const std::string &path = {});
void StoreOnlineSettings(const TOnlineSettings &settings, TIniFile &ini);

// The settings dialog's items: the port item (" 1" to " 16") of a port, the
// first for a port outside 1..16; the rate item of a baud code, the third
// (57600) for a code outside 1..3.
int PortItemIndex(int portOnline);
int RateItemIndex(int baudRateOnline);
