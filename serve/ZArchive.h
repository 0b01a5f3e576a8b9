// Where the lines of a Z report are kept once the register has cleared its
// sales: they are the only copy left. The one place the HTTP service asks;
// when the report reader keeps every Z report in a journal and a dated
// archive of its own, this is the function to point at it.
#pragma once

#include <string>

#include "ReportReader.h"

struct TZArchive {
  std::string Path;   // the file the lines are in; "" when none
  std::string Error;  // why they could not be kept ("" when they were)
};

// After a Z read: a complete one is saved, as received, in the project
// directory under "VanzariPLU-Z-YYYYMMDD-HHMMSS.txt" (never replacing an
// earlier one); for one that broke off, the file the reader already kept
// the lines that arrived in.
TZArchive KeepZArchive(const std::string &projectDir, const TReportOutcome &outcome);

inline constexpr const char *ZArchivePrefix = "VanzariPLU-Z";
inline constexpr const char *ZArchiveSuffix = ".txt";
