#include "WorkDirLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AtomicFile.h"

TWorkDirLock::TResult TWorkDirLock::Acquire(const std::string &dir, std::string *reason) {
  struct stat st {};
  const bool there = ::stat(dir.c_str(), &st) == 0;
  if (Held() && dir == FDir && there && st.st_dev == FDev && st.st_ino == FIno) return Locked;
  Release();
  auto fail = [&](TResult result, const std::string &why) {
    if (reason) *reason = why;
    return result;
  };
  if (!there) return fail(Inaccessible, ErrnoReason(errno));
  if (!S_ISDIR(st.st_mode)) return fail(Inaccessible, ErrnoReason(ENOTDIR));
  // Results are written and command files deleted there.
  if (::access(dir.c_str(), R_OK | W_OK | X_OK) != 0) return fail(Inaccessible, ErrnoReason(errno));
  // Close-on-exec: a program started from here (the scale driver) must not
  // keep the directory locked after this program let it go.
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return fail(Inaccessible, ErrnoReason(errno));
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    if (err == EWOULDBLOCK) return fail(Taken, "another processor works it");
    return fail(Inaccessible, ErrnoReason(err));
  }
  struct stat locked {};
  ::fstat(fd, &locked);
  FFd = fd;
  FDir = dir;
  FDev = locked.st_dev;
  FIno = locked.st_ino;
  return Locked;
}

void TWorkDirLock::Release() {
  if (FFd >= 0) ::close(FFd);  // closing lets the lock go
  FFd = -1;
  FDir.clear();
}
