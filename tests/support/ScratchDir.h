// A scratch directory for one test, removed with everything in it afterwards.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <unistd.h>

// A file's bytes, "" when it cannot be read.
inline std::string ReadFileBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class TScratchDir {
 public:
  TScratchDir() {
    char tmpl[] = "/tmp/tarvo-test.XXXXXX";
    if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
    FPath = tmpl;
  }
  ~TScratchDir() { std::system(("rm -rf '" + FPath + "'").c_str()); }
  TScratchDir(const TScratchDir &) = delete;
  TScratchDir &operator=(const TScratchDir &) = delete;
  // Without a trailing '/'.
  const std::string &Path() const { return FPath; }

 private:
  std::string FPath;
};
