// The journal of a Z report. Once the register has had the acknowledgement
// of a line, it may clear the sale behind it, and the program holds the only
// copy: so every line is appended to a file of its own before its frame is
// acknowledged (on the link's thread), a second thread makes the file durable
// at least once a second, and the file stays when the read ends: as the
// report's archive when it completed, under the name of a broken read when
// it did not. A journal found with its read-unfinished name (the program was
// killed, crashed, or the power went) is one whose lines nobody has seen: it
// is announced once and given the broken read's name; nothing is deleted.
#pragma once

#include <atomic>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "LinkEngine.h"

// How one kind of Z report names its files in a directory, all with the
// date and time the read began: "<Prefix>-YYYYMMDD-HHMMSS<Journal>" while
// it runs, then "<Prefix>-...<Archive>" when complete or
// "<PartialPrefix>-...<Partial>" when broken.
struct TZNames {
  std::string Prefix;
  std::string Journal;
  std::string Archive;
  std::string PartialPrefix;
  std::string Partial;
};

class TZJournal {
 public:
  // Creates the journal in dir (never over an existing file) and makes its
  // name durable. Throws EFileWrite with the reason.
  TZJournal(const std::string &dir, TZNames names, std::time_t when = std::time(nullptr));
  // A journal that was neither finished nor discarded stays as it is.
  ~TZJournal();
  TZJournal(const TZJournal &) = delete;
  TZJournal &operator=(const TZJournal &) = delete;

  // Link's thread: the line and CR LF appended; false, with the reason in
  // the user's words, when the disk took it not whole.
  bool Append(const std::string &line, std::string &why);
  // Append, for TTARVO::ReadLines.
  TLineKeeper Keeper();

  // The read ended: the journal is made durable and renamed (never over an
  // existing file) to the archive's name when complete, else to the broken
  // read's name. Returns the path it has now; throws EFileWrite, leaving
  // the journal where it was.
  std::string Finish(bool complete);
  // No line was ever written: the empty journal goes.
  void Discard();

  size_t Lines() const { return FLines.load(); }
  const std::string &Path() const { return FPath; }

 private:
  void Sync();
  void SyncLoop();
  void StopSyncing();

  std::string FDir, FStamp, FPath;
  TZNames FNames;
  int FFd = -1;
  std::atomic<size_t> FLines{0};
  std::atomic<bool> FDirty{false};
  std::mutex FLock;
  std::condition_variable FWake;
  bool FStop = false;
  std::thread FSyncer;
};

// A journal left by a read that never finished.
struct TLeftJournal {
  std::string Path;  // where its lines are now (renamed as a broken read)
  size_t Lines = 0;
};

// Finds the journals of names in dir, gives each the broken read's name and
// says where they went; a journal that cannot be renamed is reported where
// it is. Nothing is deleted.
std::vector<TLeftJournal> RecoverZJournals(const std::string &dir, const std::vector<TZNames> &names);

// The sentence that announces one, in Romanian (window) and English (a log,
// stderr).
std::string LeftJournalNote(const TLeftJournal &left);
std::string LeftJournalLogLine(const TLeftJournal &left);
