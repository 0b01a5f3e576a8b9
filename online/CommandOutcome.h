// What carrying out one command file came to: what its result file holds
// and what the log says about it.
#pragma once

#include <cstddef>
#include <string>

#include "TextHelpers.h"

struct TCommandOutcome {
  bool Ok = false;
  TLineList Lines;      // the ".OK" file
  std::string Message;  // the one line of the ".ERR" file
  std::string Detail;   // for the log: what was done, or why it failed
  std::string Archive;  // a Z report's archive: its lines whatever becomes of the ".OK"
  size_t ArchiveLines = 0;
};

// What the poller hears back from one command file it handed over.
struct TAnsweredFile {
  bool Taken = false;       // false: it went away before its turn, and nothing was done
  std::string LogLine;      // the command file, its result file and the outcome
  bool Unexpected = false;  // an unexpected error ended it (answered all the same)
};
