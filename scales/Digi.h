// TDigi: the scale file writer and the run of DIGI's transfer program.
//
// One data file per scale, "SM" + address + "F37.DAT" in the working
// directory (the program directory), holding every record one after the
// other; then DIGIWTCP.EXE runs there with "WR 37" and the addresses, and
// its "result" file tells whether the scales took the data.
//
// On POSIX the driver runs as a process with an argument list, never
// through a shell. A Windows program (a file beginning with "MZ") runs under
// wine when wine is installed; any other executable file of that name runs
// directly, so a dealer can put a native transfer script there.
#pragma once

#include <string>
#include <vector>

#include "ScaleRecord.h"

inline constexpr const char *DriverFileName = "DIGIWTCP.EXE";
inline constexpr const char *DriverResultFile = "result";
// The driver's command line is at most this long.
constexpr size_t MaxDriverCommandLine = 512;

class TDigi {
 public:
  // workDir: the directory the files go to and the driver runs in.
  explicit TDigi(std::string workDir);

  void AddRecord(TDPLuRecord record) { FRecords.push_back(std::move(record)); }
  int RecordCount() const { return int(FRecords.size()); }
  const std::string &WorkDir() const { return FWorkDir; }

  std::vector<std::string> Scales;  // addresses, in list order
  std::string DataFileName = "F37.DAT";

  // WorkDir + "SM" + address + DataFileName.
  std::string DataFilePath(const std::string &address) const;
  // Every record, in order: the contents of each data file.
  std::string DataText() const;
  // Writes the data files, in list order, each replaced atomically; stops
  // at the first that cannot be written. True when at least one file was
  // written; reason tells why the first failure failed.
  bool WriteDataFiles(std::string *reason = nullptr) const;

  // "DIGIWTCP.EXE WR 37 " followed by a blank and each address and a blank.
  std::string CommandLine() const;
  // The driver as it would run: "" when it can, else what is missing.
  std::string DriverProblem() const;

  enum TDriverResult { drSucceeded, drFailed, drCannotRun };
  // Removes a "result" left by an earlier run, runs the driver in the
  // working directory and waits for it without limit (events keep being
  // processed meanwhile, so a window repaints), then reads "result": the
  // transfer succeeded when its first line contains ":0". The driver's
  // exit code is not used. reason says what went wrong.
  TDriverResult RunDriver(std::string *reason = nullptr) const;

 private:
  std::string FWorkDir;  // ends in '/'
  std::vector<TDPLuRecord> FRecords;
};
