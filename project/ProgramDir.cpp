#include "ProgramDir.h"

#include <climits>
#include <mutex>
#include <unistd.h>

namespace {

std::mutex DirectoryLock;
std::string DirectoryOverride;

}  // namespace

std::string ExecutableDirectory() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  std::string exe(path, size_t(n));
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

std::string ProgramDirectory() {
  {
    std::lock_guard<std::mutex> guard(DirectoryLock);
    if (!DirectoryOverride.empty()) return DirectoryOverride;
  }
  return ExecutableDirectory();
}

void SetProgramDirectory(const std::string &dir) {
  std::lock_guard<std::mutex> guard(DirectoryLock);
  DirectoryOverride = dir;
  if (!DirectoryOverride.empty() && DirectoryOverride.back() != '/') DirectoryOverride += '/';
}

std::string TarvoIniPath() { return ProgramDirectory() + "TARVOPROG.INI"; }
