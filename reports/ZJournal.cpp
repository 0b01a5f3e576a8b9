#include "ZJournal.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AtomicFile.h"

namespace {

std::string Slash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

// The directory's own entry for a name that was made or moved: without it a
// power cut may leave the file under its old name, or none.
void SyncDir(const std::string &dir) {
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Moves from to dir + stem + suffix, or stem-2, stem-3, ... when the name
// is taken: never over an existing file. Returns the new path.
std::string MoveNoReplace(const std::string &from, const std::string &dir, const std::string &stem,
                          const std::string &suffix) {
  for (int n = 1;; ++n) {
    const std::string to = Slash(dir) + stem + (n > 1 ? "-" + std::to_string(n) : "") + suffix;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return to;
    if (errno == EEXIST) continue;
    if (errno != EINVAL && errno != ENOSYS) throw EFileWrite(to, ErrnoReason(errno));
    // A file system without the no-replace rename: a new link fails on a
    // taken name just the same.
    if (::link(from.c_str(), to.c_str()) == 0) {
      ::unlink(from.c_str());
      return to;
    }
    if (errno != EEXIST) throw EFileWrite(to, ErrnoReason(errno));
  }
}

size_t CountLines(const std::string &path) {
  std::FILE *f = std::fopen(path.c_str(), "rbe");
  if (!f) return 0;
  size_t n = 0;
  int c, last = '\n';
  while ((c = std::fgetc(f)) != EOF) {
    if (c == '\n') ++n;
    last = c;
  }
  std::fclose(f);
  return n + (last != '\n' ? 1 : 0);  // a line cut short by the crash counts too
}

}  // namespace

TZJournal::TZJournal(const std::string &dir, TZNames names, std::time_t when)
    : FDir(dir), FNames(std::move(names)) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", &local);
  for (int n = 1; FFd < 0; ++n) {
    FStamp = stamp + (n > 1 ? "-" + std::to_string(n) : std::string());
    FPath = Slash(FDir) + FNames.Prefix + FStamp + FNames.Journal;
    FFd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    if (FFd < 0 && errno != EEXIST) throw EFileWrite(FPath, ErrnoReason(errno));
  }
  // Held while the read runs: a program started meanwhile on the same
  // directory must not take a live journal for one left behind.
  ::flock(FFd, LOCK_EX | LOCK_NB);
  SyncDir(FDir);
  FSyncer = std::thread([this] { SyncLoop(); });
}

TZJournal::~TZJournal() {
  StopSyncing();
  if (FFd >= 0) {
    ::fdatasync(FFd);
    ::close(FFd);
  }
}

bool TZJournal::Append(const std::string &line, std::string &why) {
  if (FFd < 0) {
    why = "jurnalul raportului este inchis";
    return false;
  }
  const std::string bytes = line + "\r\n";
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(FFd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      why = ErrnoReason(n < 0 ? errno : ENOSPC) + " (" + FPath + ")";
      // What went in of this line stays: whoever reads the journal sees a
      // line cut short, and the register still holds the sale.
      return false;
    }
    done += size_t(n);
  }
  FLines.fetch_add(1);
  FDirty.store(true, std::memory_order_release);
  return true;
}

TLineKeeper TZJournal::Keeper() {
  return [this](const std::string &line, std::string &why) { return Append(line, why); };
}

void TZJournal::Sync() {
  if (FDirty.exchange(false, std::memory_order_acq_rel)) ::fdatasync(FFd);
}

void TZJournal::SyncLoop() {
  std::unique_lock<std::mutex> lock(FLock);
  while (!FStop) {
    FWake.wait_for(lock, std::chrono::milliseconds(500));
    lock.unlock();
    Sync();
    lock.lock();
  }
}

void TZJournal::StopSyncing() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FStop = true;
  }
  FWake.notify_all();
  if (FSyncer.joinable()) FSyncer.join();
}

std::string TZJournal::Finish(bool complete) {
  StopSyncing();
  if (FFd >= 0) {
    if (::fdatasync(FFd) != 0 && errno != EINVAL) throw EFileWrite(FPath, ErrnoReason(errno));
    ::close(FFd);
    FFd = -1;
  }
  FPath = MoveNoReplace(FPath, FDir, (complete ? FNames.Prefix : FNames.PartialPrefix) + FStamp,
                        complete ? FNames.Archive : FNames.Partial);
  SyncDir(FDir);
  return FPath;
}

void TZJournal::Discard() {
  StopSyncing();
  if (FFd >= 0) {
    ::close(FFd);
    FFd = -1;
  }
  if (FLines.load() == 0 && ::unlink(FPath.c_str()) == 0) SyncDir(FDir);
}

std::vector<TLeftJournal> RecoverZJournals(const std::string &dir, const std::vector<TZNames> &names) {
  std::vector<TLeftJournal> left;
  std::vector<std::pair<std::string, const TZNames *>> found;
  if (DIR *d = ::opendir(dir.empty() ? "." : dir.c_str())) {
    while (const dirent *e = ::readdir(d)) {
      const std::string name = e->d_name;
      for (const TZNames &n : names) {
        const std::string head = n.Prefix + "-";
        if (name.size() > head.size() + n.Journal.size() && name.rfind(head, 0) == 0 &&
            name.compare(name.size() - n.Journal.size(), n.Journal.size(), n.Journal) == 0)
          found.emplace_back(name, &n);
      }
    }
    ::closedir(d);
  }
  for (const auto &[name, n] : found) {
    TLeftJournal j;
    j.Path = Slash(dir) + name;
    const int fd = ::open(j.Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    const bool live = ::flock(fd, LOCK_EX | LOCK_NB) != 0;  // a read in another program
    ::close(fd);
    if (live) continue;
    j.Lines = CountLines(j.Path);
    const std::string stamp = name.substr(n->Prefix.size(), name.size() - n->Prefix.size() - n->Journal.size());
    try {
      j.Path = MoveNoReplace(j.Path, dir, n->PartialPrefix + stamp, n->Partial);
      SyncDir(dir);
    } catch (const EFileWrite &) {
      // Announced where it is; the next start says it again.
    }
    left.push_back(j);
  }
  return left;
}

std::string LeftJournalNote(const TLeftJournal &left) {
  return "Un raport Z citit anterior nu s-a terminat (programul a fost oprit). Cele " + std::to_string(left.Lines) +
         " linii primite sunt pastrate in fisierul\r" + left.Path;
}

std::string LeftJournalLogLine(const TLeftJournal &left) {
  return "a Z report read that never finished left " + std::to_string(left.Lines) + " lines in " + left.Path;
}
