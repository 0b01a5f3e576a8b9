// One processor per work directory. The window's online mode and `tarvoctl
// online` both take an exclusive lock on the directory itself before they
// look at it, so two of them never race for the same command file (both
// would send it to the register and one would delete the other's result).
#pragma once

#include <string>

#include <sys/types.h>

class TWorkDirLock {
 public:
  enum TResult {
    Locked,        // this lock holds the directory
    Taken,         // another processor holds it
    Inaccessible,  // missing, not a directory, or not readable and writable
  };

  TWorkDirLock() = default;
  ~TWorkDirLock() { Release(); }
  TWorkDirLock(const TWorkDirLock &) = delete;
  TWorkDirLock &operator=(const TWorkDirLock &) = delete;

  // Locks dir (the lock held on another directory is let go first). An
  // already held lock on the same directory is kept when the directory is
  // still the one that was locked. The reason says why not.
  TResult Acquire(const std::string &dir, std::string *reason);
  void Release();

  bool Held() const { return FFd >= 0; }
  const std::string &Dir() const { return FDir; }

 private:
  int FFd = -1;
  std::string FDir;
  dev_t FDev = 0;
  ino_t FIno = 0;
};
