// A scratch directory per test, removed afterwards (with any files a failed
// test left behind).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class TTempDir {
 public:
  TTempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "tables-test-XXXXXX").string();
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) std::abort();
    FPath = buf.data();
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(FPath, ec);
  }
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

inline std::string ReadBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string &path, const std::string &bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}
