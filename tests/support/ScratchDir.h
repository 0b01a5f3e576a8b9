// A scratch directory for one test, removed with everything in it afterwards
// (files a failed test left behind and read-only folders included).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

// A file's bytes, "" when it cannot be read.
inline std::string ReadFileBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const std::string &path, const std::string &bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

class TScratchDir {
 public:
  // prefix names the directory, so that one left by a killed run says whose it is.
  explicit TScratchDir(const std::string &prefix = "tarvo-test") {
    std::string templ = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed for " + templ);
    FPath = templ;
  }
  ~TScratchDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    // Tests take permissions away to see refusals; give them back so that
    // an ordinary user can remove what is inside.
    fs::permissions(FPath, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(FPath, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(FPath, ec);
  }
  TScratchDir(const TScratchDir &) = delete;
  TScratchDir &operator=(const TScratchDir &) = delete;

  // Without a trailing '/'.
  const std::string &Path() const { return FPath; }
  std::string File(const std::string &name) const { return FPath + "/" + name; }
  // Names in the directory, to catch temporary or journal files left over.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(FPath)) names.push_back(e.path().filename().string());
    return names;
  }

 private:
  std::string FPath;
};
