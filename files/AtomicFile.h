// Replacing a file so that nobody ever sees it half written.
//
// Every file the program writes (table files, text exports, reports, result
// files of the online mode, scale files, TARVOPROG.INI) is first written to a
// temporary file in the same directory, synced to disk and then renamed over
// the target. A crash, a full disk or a reader polling the directory finds
// either the old file whole or the new one whole. The rename replaces a
// symbolic link at the target rather than writing through it.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A write that failed: what() is "Nu pot salva fisierul <path>: <reason>".
class EFileWrite : public std::runtime_error {
 public:
  EFileWrite(std::string path, std::string reason);
  const std::string &Path() const { return FPath; }
  const std::string &Reason() const { return FReason; }

 private:
  std::string FPath;
  std::string FReason;
};

// The reason of an OS error in the words the program shows the user.
std::string ErrnoReason(int err);

// One replacement in progress. The constructor checks the target (a
// directory or a write-protected file is refused) and creates the temporary
// file; the writer fills it through Fd() or TempPath(); Commit() makes it the
// target. Destroying an uncommitted replacement removes the temporary file
// and leaves the target as it was.
class TAtomicReplace {
 public:
  explicit TAtomicReplace(std::string target);  // throws EFileWrite
  ~TAtomicReplace();
  TAtomicReplace(const TAtomicReplace &) = delete;
  TAtomicReplace &operator=(const TAtomicReplace &) = delete;

  const std::string &Target() const { return FTarget; }
  const std::string &TempPath() const { return FTemp; }
  int Fd() const { return FFd; }
  // Writes all of bytes to the temporary file; throws EFileWrite.
  void Write(std::string_view bytes);
  // Syncs and closes the temporary file: what can fail for want of room is
  // over. Throws EFileWrite; the target is then unchanged. Several files
  // that belong together finish all before the first is committed.
  void Finish();
  // Finishes when that is not done, renames the temporary file over the
  // target and syncs the directory. Throws EFileWrite; the target is then
  // unchanged.
  void Commit();
  // Throws EFileWrite(target, reason): for writers that fail on their own.
  [[noreturn]] void Fail(const std::string &reason) const;

 private:
  std::string FTarget;
  std::string FDir;
  std::string FTemp;
  int FFd = -1;
  bool FFinished = false;
  bool FCommitted = false;
};

// The whole file in one call.
void WriteFileAtomic(const std::string &path, std::string_view bytes);
// Text files of the program: every line, the last one included, ends with CR LF.
std::string JoinLinesCrLf(const std::vector<std::string> &lines);
void WriteLinesAtomic(const std::string &path, const std::vector<std::string> &lines);

// Test seam: called with the temporary file's path once it is complete and
// synced (at the end of Finish), before the rename. An exception thrown here
// fails the write as a crash before the rename would. Pass {} to remove.
void SetAtomicReplaceHook(std::function<void(const std::string &tempPath)> hook);
