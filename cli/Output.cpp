#include "Output.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdio_ext.h>
#include <unistd.h>

#include "Cli.h"

namespace {

std::string Problem;
bool Finished = false;
bool Reported = false;
bool Written = false;

void Note(int err) {
  if (Problem.empty()) Problem = std::strerror(err ? err : EIO);
}

// A handler that does nothing, rather than SIG_IGN: an ignored signal stays
// ignored in the programs this one starts (the scale driver), a handled one
// goes back to its default there.
void NoSignal(int) {}

}  // namespace

void Out(std::string_view bytes) {
  if (bytes.empty()) return;
  Written = true;
  if (Finished) {
    Note(EBADF);
    return;
  }
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) Note(errno);
}

void OutF(const char *format, ...) {
  std::va_list args;
  va_start(args, format);
  char small[512];
  std::va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) {
    va_end(again);
    Note(EINVAL);
    return;
  }
  if (size_t(n) < sizeof small) {
    va_end(again);
    Out(std::string_view(small, size_t(n)));
    return;
  }
  std::string big(size_t(n) + 1, '\0');
  std::vsnprintf(big.data(), big.size(), format, again);
  va_end(again);
  big.resize(size_t(n));
  Out(big);
}

bool FinishOutput() {
  if (Finished) return Problem.empty();
  Finished = true;
  errno = 0;
  if (std::fflush(stdout) != 0) Note(errno);
  if (std::ferror(stdout)) Note(errno);
  const bool pending = Written || __fpending(stdout) != 0;
  errno = 0;
  if (std::fclose(stdout) != 0 && (pending || errno != EBADF)) Note(errno);
  return Problem.empty();
}

const std::string &OutputProblem() { return Problem; }

int OutputFailure() {
  if (!Reported) std::fprintf(stderr, "tarvoctl: cannot write the output: %s\n", Problem.c_str());
  Reported = true;
  return ExitFailed;
}

bool OutputFailureReported() { return Reported; }

void PrepareStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd)
    if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      const int opened = ::open("/dev/null", fd == 2 ? O_WRONLY : O_RDONLY);
      if (opened >= 0 && opened != fd) {
        ::dup2(opened, fd);
        ::close(opened);
      }
    }
  struct sigaction sa {};
  sa.sa_handler = NoSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGPIPE, &sa, nullptr);
  // A file-size limit reached by a table or a Z report's journal fails the
  // write (EFBIG), which says why; the signal would end the program first.
  ::sigaction(SIGXFSZ, &sa, nullptr);
}
