#include "IniFile.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "AtomicFile.h"
#include "TextHelpers.h"

// Bytes as they stand: the file is in the register's 8-bit code page, not
// UTF-8. Debian's header keeps the template bodies behind SI_IMPLEMENTATION
// (else it expects its ICU-linked library); the narrow class is the same
// either way, so this unit needs neither the library nor ICU.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

struct TIniFile::Impl {
  // Not UTF-8, no repeated keys, no multi-line values: as Windows reads them.
  CSimpleIniA Ini{false, false, false};
};

TIniFile::TIniFile() : FImpl(std::make_unique<Impl>()) { FImpl->Ini.SetSpaces(false); }
TIniFile::~TIniFile() = default;
TIniFile::TIniFile(TIniFile &&) noexcept = default;
TIniFile &TIniFile::operator=(TIniFile &&) noexcept = default;

bool TIniFile::Load(const std::string &path, std::string *error) {
  FImpl->Ini.Reset();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    if (error) *error = ErrnoReason(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    if (error) *error = "nu este un fisier obisnuit";
    return false;
  }
  // An INI file is a few lines; one that is not cannot be ours.
  if (st.st_size > 16 * 1024 * 1024) {
    if (error) *error = "fisierul este prea mare";
    return false;
  }
  const SI_Error rc = FImpl->Ini.LoadFile(path.c_str());
  if (rc < 0) {
    if (error) *error = rc == SI_FILE ? ErrnoReason(errno ? errno : EIO) : "fisierul nu poate fi citit";
    FImpl->Ini.Reset();
    return false;
  }
  return true;
}

std::optional<std::string> TIniFile::Value(const std::string &section, const std::string &key) const {
  const char *v = FImpl->Ini.GetValue(section.c_str(), key.c_str(), nullptr);
  if (!v) return std::nullopt;
  return std::string(v);
}

std::string TIniFile::Value(const std::string &section, const std::string &key,
                            const std::string &fallback) const {
  return Value(section, key).value_or(fallback);
}

void TIniFile::SetValue(const std::string &section, const std::string &key, const std::string &value) {
  FImpl->Ini.SetValue(section.c_str(), key.c_str(), value.c_str());
}

std::string TIniFile::Text() const {
  std::string saved;
  FImpl->Ini.Save(saved, false);
  // Lines end with CR LF, with one blank line between sections however many
  // the library (or the file it read) put there.
  TLineList lines;
  for (std::string &line : SplitTextLines(saved))
    if (!line.empty() || (!lines.empty() && !lines.back().empty())) lines.push_back(std::move(line));
  return JoinLinesCrLf(lines);
}

void TIniFile::Save(const std::string &path) const { WriteFileAtomic(path, Text()); }
