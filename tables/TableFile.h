// Table files: one record set per file, whole-table load and save.
//
// A table file is an SQLite database holding one table. Each column's
// declared type carries the field type and size ("INTEGER", "TEXT(50)",
// "FLOAT", "BOOLEAN"), empty values are NULL, texts are stored as blobs so
// every byte comes back, and rows keep their order.
//
// Loading opens the file read-only and never creates or changes it; a file
// that exists but cannot be read raises ETableFile naming it. Only the four
// declared types above are known, and a stored value must fit its column
// (an integer in the 32-bit range, a boolean 0 or 1, a finite float, a text
// no longer than its declared size); anything else makes the file
// unreadable rather than half loaded, since the next save would drop what
// was left out. So does a file shorter than its header says (cut short), one
// marked by another program, and one written in a later format of this
// program (its user_version). Saving writes a temporary file beside the
// target, syncs it to disk and renames it over the target, so the old file
// stays whole until the new one is; a failed save removes its temporary file
// and raises ETableFile.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "RecordSet.h"

class ETableFile : public std::runtime_error {
 public:
  // what(): "Nu pot citi fisierul <path>: <reason>" or, for saving,
  // "Nu pot salva fisierul <path>: <reason>".
  ETableFile(bool saving, std::string path, std::string reason);
  const std::string &Path() const { return FPath; }
  const std::string &Reason() const { return FReason; }
  bool Saving() const { return FSaving; }

 private:
  bool FSaving;
  std::string FPath;
  std::string FReason;
};

// Loads the whole file: its own fields, all rows, positioned on the first.
// Throws ETableFile for a missing or unreadable file.
TRecordSet LoadTableFile(const std::string &path);

// Writes the fields and rows of rs to path, replacing the file; a pending
// Append or Edit is written as Post would store it. The set itself, its
// state and its current row are not changed.
void SaveTableFile(const std::string &path, const TRecordSet &rs);

// Saves files that belong together (a table and its register image) as one:
// all are written and synced under temporary names first, then renamed into
// place, so a failure (a full disk) leaves every one of them as it was.
// Two programs doing this in one directory at once rename one after the
// other. Throws ETableFile naming the file that failed.
void SaveTableFiles(const std::vector<std::pair<std::string, const TRecordSet *>> &files);

// Test seam: called with the temporary file's path after it is complete and
// synced, just before the rename. An exception thrown here fails the save
// exactly as a crash before the rename would leave things. Pass {} to remove.
void SetTableSaveHook(std::function<void(const std::string &tempPath)> hook);
