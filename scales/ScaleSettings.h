// The scale list and the barcode prefix of a project: "Cantare.txt" (one
// scale address a line) and "Prefix.txt" (the prefix as its only line, or
// empty) in the project directory, both written with CR LF through the
// atomic replace.
#pragma once

#include <string>
#include <vector>

struct TScaleSettings {
  std::vector<std::string> Scales;  // addresses as typed, in list order
  std::string Prefix;               // decimal digits; "" when none
};

inline constexpr const char *ScaleListFile = "Cantare.txt";
inline constexpr const char *PrefixFile = "Prefix.txt";

// Missing files give an empty list and no prefix. Throws std::runtime_error
// ("Nu pot citi fisierul <path>: <reason>") for a file that cannot be read.
TScaleSettings LoadScaleSettings(const std::string &projectDir);
// Throws EFileWrite.
void SaveScaleSettings(const std::string &projectDir, const TScaleSettings &settings);

// Why an address cannot name a scale, or "" when it can. An address becomes
// part of a file name ("SM" + address + "F37.DAT" in the program directory)
// and a word of the driver's command line, so path separators, characters
// no file name may hold, blanks and control characters are refused: a typed
// "../x" must never write outside the program directory.
std::string ScaleAddressProblem(const std::string &address);
// "" when the prefix is decimal digits only (an empty one included).
std::string PrefixProblem(const std::string &prefix);
