// Running a check as an ordinary user. Root reads and writes whatever the
// modes say, so a test about permissions run as root checks nothing unless
// the check runs in a child that has given root up (as nobody).
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

// check() returns 0 for success. As root it runs in a child as nobody; -1
// when that is not possible here (the caller skips).
template <class F>
int AsOrdinaryUser(F check) {
  if (::geteuid() != 0) return check();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(77);
    ::_exit(check());
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 1;
  return WEXITSTATUS(status) == 77 ? -1 : WEXITSTATUS(status);
}
