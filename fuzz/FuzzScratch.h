// A scratch directory for fuzz targets that go through files, made once per
// run and removed at exit, and the writing of the input into a file there.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// Never freed: the exit handler that removes the directory runs after
// ordinary statics are gone.
inline const std::string &FuzzScratchDir(const char *name) {
  static const std::string *dir = [name] {
    std::string templ = (std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
    if (!mkdtemp(templ.data())) std::abort();
    auto *d = new std::string(templ);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(*dir, ec);
    });
    return d;
  }();
  return *dir;
}

inline void WriteFuzzInput(const std::string &path, const uint8_t *data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(data), std::streamsize(size));
}
