// The scratch directory of a fuzz run that goes through files, made on first
// use and removed when the run exits, and the writing of an input there.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "ScratchDir.h"

inline const std::string &FuzzScratchDir(const char *name) {
  static const TScratchDir dir(name);
  return dir.Path();
}

inline void WriteFuzzInput(const std::string &path, const uint8_t *data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(data), std::streamsize(size));
}
