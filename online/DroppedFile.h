// Reading a file that another program drops into the work directory, without
// trusting what it dropped: a FIFO or a device is never opened for reading
// (opening a FIFO waits for a writer, opening a serial device raises its
// lines), a file larger than any real list is not read whole, and a file its
// writer still holds or is still changing is left for a later try.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>

#include <sys/types.h>

// Who a directory entry is and how it looks right now.
struct TFileStamp {
  dev_t Dev = 0;
  ino_t Ino = 0;
  off_t Size = -1;
  timespec Mtime{};
  bool operator==(const TFileStamp &o) const {
    return Dev == o.Dev && Ino == o.Ino && Size == o.Size && Mtime.tv_sec == o.Mtime.tv_sec &&
           Mtime.tv_nsec == o.Mtime.tv_nsec;
  }
  bool operator!=(const TFileStamp &o) const { return !(*this == o); }
};

enum class TDropState {
  Ready,       // read whole
  Missing,     // not there (any more), or a link to nothing
  NotRegular,  // a directory, FIFO, device or socket, or a link to one
  TooLarge,    // larger than the limit
  Held,        // its writer holds a lock on it
  Changing,    // it changed while it was read
  Unreadable,  // it cannot be opened or read (the reason says why)
};

struct TDropRead {
  TDropState State = TDropState::Missing;
  TFileStamp Stamp;    // as found (following a link)
  std::string Bytes;   // the contents, when Ready
  std::string Reason;  // for the log
};

// The stamp of path, following a link; the state says what kind of entry
// it is (Ready for a regular file within maxBytes).
TDropRead StatDropped(const std::string &path, size_t maxBytes);

// Reads path whole when it is a regular file of at most maxBytes that no
// one holds a lock on and that did not change while it was read.
TDropRead ReadDropped(const std::string &path, size_t maxBytes);

// Whether another open file (of any process) holds a POSIX record lock or a
// BSD flock() lock on the file open at fd.
bool LockedByAnother(int fd);

// Stamp of an entry itself, not following a link; false when it is gone.
bool EntryStamp(const std::string &path, TFileStamp &stamp);

// Words for the log.
const char *DropStateText(TDropState state);
