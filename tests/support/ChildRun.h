// Runs a program as a child in conditions a script meets but QProcess cannot
// make: stdout on /dev/full or on a pipe nobody reads any more, and files
// that cannot grow past a size (RLIMIT_FSIZE, a full disk for a test that is
// not root's to make). SIGPIPE comes back to its default in the child,
// whatever the test runner does with it, so a program that does not handle
// it dies of it as it would under a shell.
#pragma once

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "ScratchDir.h"

enum class TStdout { File, DevFull, ClosedPipe };

struct TChildRun {
  int Status = -1;         // the exit status; -1 when it did not exit by itself
  int Signal = 0;          // the signal that ended it
  std::string Out, Err;    // Out only for TStdout::File
};

inline TChildRun RunChild(const std::string &program, const std::vector<std::string> &args,
                          TStdout out = TStdout::File, long maxFileBytes = 0, int timeoutMs = 30000) {
  TChildRun r;
  char outName[] = "/tmp/tarvo-child-out.XXXXXX", errName[] = "/tmp/tarvo-child-err.XXXXXX";
  const int errFd = ::mkstemp(errName);
  int outFd = -1;
  if (out == TStdout::File) {
    outFd = ::mkstemp(outName);
  } else if (out == TStdout::DevFull) {
    outFd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  } else {
    int p[2];
    if (::pipe2(p, O_CLOEXEC) == 0) {
      ::close(p[0]);  // nobody will ever read: the first write breaks
      outFd = p[1];
    }
  }
  if (errFd < 0 || outFd < 0) return r;
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(outFd, STDOUT_FILENO);
    ::dup2(errFd, STDERR_FILENO);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &dfl, nullptr);
    if (maxFileBytes > 0) {
      struct sigaction ign {};
      ign.sa_handler = SIG_IGN;  // a write past the limit fails with EFBIG, as on a full disk
      ::sigaction(SIGXFSZ, &ign, nullptr);
      const rlimit lim{rlim_t(maxFileBytes), rlim_t(maxFileBytes)};
      ::setrlimit(RLIMIT_FSIZE, &lim);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(outFd);
  ::close(errFd);
  int status = 0;
  for (int waited = 0; pid > 0; waited += 10) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (WIFEXITED(status)) r.Status = WEXITSTATUS(status);
      if (WIFSIGNALED(status)) r.Signal = WTERMSIG(status);
      break;
    }
    if (done < 0 || waited >= timeoutMs) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      break;
    }
    ::usleep(10000);
  }
  if (out == TStdout::File) r.Out = ReadFileBytes(outName), ::unlink(outName);
  r.Err = ReadFileBytes(errName);
  ::unlink(errName);
  return r;
}
