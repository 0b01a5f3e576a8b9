#include "DroppedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AtomicFile.h"

namespace {

TFileStamp StampOf(const struct stat &st) {
  TFileStamp s;
  s.Dev = st.st_dev;
  s.Ino = st.st_ino;
  s.Size = st.st_size;
  s.Mtime = st.st_mtim;
  return s;
}

// Fills the state from a stat of the file; Ready for a regular file of at
// most maxBytes.
void Classify(const struct stat &st, size_t maxBytes, TDropRead &r) {
  r.Stamp = StampOf(st);
  if (!S_ISREG(st.st_mode)) {
    r.State = TDropState::NotRegular;
    r.Reason = "not a regular file";
  } else if (uint64_t(st.st_size) > maxBytes) {
    r.State = TDropState::TooLarge;
    r.Reason = "larger than " + std::to_string(maxBytes >> 20) + " MB";
  } else {
    r.State = TDropState::Ready;
  }
}

struct TFd {
  int Fd;
  ~TFd() {
    if (Fd >= 0) ::close(Fd);
  }
};

}  // namespace

TDropRead StatDropped(const std::string &path, size_t maxBytes) {
  TDropRead r;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    r.State = errno == ENOENT ? TDropState::Missing : TDropState::Unreadable;
    r.Reason = ErrnoReason(errno);
    return r;
  }
  Classify(st, maxBytes, r);
  return r;
}

bool LockedByAnother(int fd) {
  // An open-file-description probe conflicts with every lock held through
  // another open file, this process's own included; older kernels only know
  // the per-process probe.
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = 0;
  if (::fcntl(fd, F_OFD_GETLK, &probe) == 0) {
    if (probe.l_type != F_UNLCK) return true;
  } else {
    probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) return true;
  }
  // flock() locks are a separate kind; taking one for a moment shows whether
  // someone else has one.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK;
  ::flock(fd, LOCK_UN);
  return false;
}

TDropRead ReadDropped(const std::string &path, size_t maxBytes) {
  // Look before opening: a FIFO or a device is never opened at all.
  TDropRead r = StatDropped(path, maxBytes);
  if (r.State != TDropState::Ready) return r;
  const TFileStamp before = r.Stamp;
  // Non-blocking, so that an entry swapped for a FIFO after the look cannot
  // hold the open; what was opened is checked again below.
  TFd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
  if (f.Fd < 0) {
    r.State = errno == ENOENT ? TDropState::Missing : TDropState::Unreadable;
    r.Reason = ErrnoReason(errno);
    return r;
  }
  struct stat st {};
  if (::fstat(f.Fd, &st) != 0) {
    r.State = TDropState::Unreadable;
    r.Reason = ErrnoReason(errno);
    return r;
  }
  Classify(st, maxBytes, r);
  if (r.State != TDropState::Ready) return r;
  if (r.Stamp != before) {
    r.State = TDropState::Changing;
    r.Reason = "changed while it was opened";
    return r;
  }
  if (LockedByAnother(f.Fd)) {
    r.State = TDropState::Held;
    r.Reason = "its writer holds a lock on it";
    return r;
  }
  // Read in bounded steps: a file that grows meanwhile is not followed past
  // the limit.
  r.Bytes.reserve(size_t(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(f.Fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      r.State = TDropState::Unreadable;
      r.Reason = ErrnoReason(errno);
      r.Bytes.clear();
      return r;
    }
    if (n == 0) break;
    r.Bytes.append(buf, size_t(n));
    if (r.Bytes.size() > maxBytes) {
      r.State = TDropState::TooLarge;
      r.Reason = "larger than " + std::to_string(maxBytes >> 20) + " MB";
      r.Bytes.clear();
      return r;
    }
  }
  // Changed under the read: not what the writer meant to leave.
  if (::fstat(f.Fd, &st) != 0 || StampOf(st) != before || r.Bytes.size() != size_t(st.st_size)) {
    r.State = TDropState::Changing;
    r.Reason = "changed while it was read";
    r.Bytes.clear();
    return r;
  }
  r.State = TDropState::Ready;
  return r;
}

bool EntryStamp(const std::string &path, TFileStamp &stamp) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return false;
  stamp = StampOf(st);
  return true;
}

const char *DropStateText(TDropState state) {
  switch (state) {
    case TDropState::Ready: return "ready";
    case TDropState::Missing: return "missing";
    case TDropState::NotRegular: return "not a regular file";
    case TDropState::TooLarge: return "too large";
    case TDropState::Held: return "locked by its writer";
    case TDropState::Changing: return "still being written";
    case TDropState::Unreadable: return "unreadable";
  }
  return "";
}
