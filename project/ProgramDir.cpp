#include "ProgramDir.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex DirectoryLock;
std::string DirectoryOverride;

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

bool IsInSystemTree(const std::string &dir) {
  for (const char *top : {"/usr/", "/bin/", "/sbin/"})
    if (dir.compare(0, std::strlen(top), top) == 0) return true;
  return false;
}

std::string EnvOrEmpty(const char *name) {
  const char *v = std::getenv(name);
  return v ? v : "";
}

// Worked out once: the executable does not move and the environment that
// matters is the one the program started with.
std::string DefaultProgramDirectory() {
  static const std::string dir = [] {
    std::string home = EnvOrEmpty("HOME");
    if (home.empty())
      if (const passwd *pw = ::getpwuid(::geteuid()); pw && pw->pw_dir) home = pw->pw_dir;
    const std::string exe = ExecutableDirectory();
    std::string chosen = ProgramDirectoryFor(exe, EnvOrEmpty("XDG_DATA_HOME"), home);
    // Private, as the convention asks of data directories it makes. A
    // failure here shows later, with its reason, as the first file that
    // cannot be written there.
    if (chosen != exe) MakeDirectories(chosen, 0700);
    return chosen;
  }();
  return dir;
}

}  // namespace

std::string ExecutableDirectory() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  std::string exe(path, size_t(n));
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
}

std::string UserDataDirectory(const std::string &xdgDataHome, const std::string &home) {
  if (!xdgDataHome.empty() && xdgDataHome.front() == '/') return WithSlash(xdgDataHome) + "tarvoprog/";
  // Without any home the current directory is the only place left.
  return (home.empty() ? std::string(".") : home) + "/.local/share/tarvoprog/";
}

std::string ProgramDirectoryFor(const std::string &executableDir, const std::string &xdgDataHome,
                                const std::string &home) {
  const std::string exe = WithSlash(executableDir);
  if (!IsInSystemTree(exe) && ::access(exe.c_str(), W_OK) == 0) return exe;
  return UserDataDirectory(xdgDataHome, home);
}

std::string MakeDirectories(const std::string &dir, unsigned mode) {
  if (dir.empty()) return "no directory named";
  std::string path;
  size_t from = 0;
  while (from <= dir.size()) {
    size_t slash = dir.find('/', from);
    if (slash == std::string::npos) slash = dir.size();
    path = dir.substr(0, slash);
    from = slash + 1;
    if (path.empty()) continue;  // the root
    if (::mkdir(path.c_str(), mode_t(mode)) == 0 || errno == EEXIST) continue;
    // Some file systems refuse before they look: a directory that is
    // already there is all that was asked for.
    const int err = errno;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return path + ": " + std::strerror(err);
  }
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0) return dir + ": " + std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return dir + ": not a directory";
  return "";
}

std::string ProgramDirectory() {
  {
    std::lock_guard<std::mutex> guard(DirectoryLock);
    if (!DirectoryOverride.empty()) return DirectoryOverride;
  }
  return DefaultProgramDirectory();
}

void SetProgramDirectory(const std::string &dir) {
  std::lock_guard<std::mutex> guard(DirectoryLock);
  DirectoryOverride = WithSlash(dir);
}

std::string TarvoIniPath() { return ProgramDirectory() + "TARVOPROG.INI"; }
