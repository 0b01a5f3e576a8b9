// INI files as Windows reads and writes them: sections and keys found
// without regard to letter case, values taken as they stand (no escapes, so
// a path keeps its backslashes), every other section, key and comment kept
// when the file is written back, lines ended with CR LF.
#pragma once

#include <memory>
#include <optional>
#include <string>

class TIniFile {
 public:
  TIniFile();
  ~TIniFile();
  TIniFile(TIniFile &&) noexcept;
  TIniFile &operator=(TIniFile &&) noexcept;

  // Reads path. A missing file reads as empty and is not an error; a file
  // that exists but cannot be read gives false with the reason.
  bool Load(const std::string &path, std::string *error = nullptr);
  // The value of a key; nothing when the section or the key is missing.
  std::optional<std::string> Value(const std::string &section, const std::string &key) const;
  std::string Value(const std::string &section, const std::string &key,
                    const std::string &fallback) const;
  // Adds or replaces a key (the section is made when missing).
  void SetValue(const std::string &section, const std::string &key, const std::string &value);
  // The whole file as it would be written.
  std::string Text() const;
  // Writes the file atomically; throws EFileWrite.
  void Save(const std::string &path) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};
