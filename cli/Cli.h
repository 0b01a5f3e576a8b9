// What every tarvoctl subcommand shares: its words, the global options, the
// project it works on, and the ways it talks back (progress and failures on
// stderr, exit statuses).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ActionResult.h"
#include "RegisterLink.h"

class TRecordSet;

// Exit statuses of every subcommand.
enum : int { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

struct TCliContext {
  std::string Name;               // the subcommand ("dept", "read", ...)
  std::vector<std::string> Args;  // its own words, global options taken out
  std::string Project;            // --project NAME, "" when not given
  TLinkOptions Link;              // --device, --trace, --timeout
  std::string TracePath;          // --trace FILE, opened when a link is made

  // The project's directory and link options. Fails (message on stderr)
  // when --project is missing or names no project of the program directory.
  std::optional<TProjectContext> OpenProject() const;
};

struct TSubcommand {
  const char *Name;
  const char *Usage;  // its lines of the --help text, each ending in '\n'
  int (*Run)(TCliContext &);
};

// The whole table, in the order --help lists it.
const std::vector<TSubcommand> &Subcommands();
// The --help text.
std::string UsageText();

// "tarvoctl: <message>" and the usage of the subcommand; returns ExitUsage.
int UsageError(const TCliContext &cx, const std::string &message);
// The register's texts (code page, CR line breaks) as a terminal shows them:
// UTF-8, LF, no trailing break.
std::string ForTerminal(const std::string &bytes);
// A path typed in a shell, made absolute from the current directory (paths
// kept in TARVOPROG.INI would be taken from the program directory).
std::string AbsolutePath(const std::string &path);
// Prints a failed action the way the window shows it (its notice, its fixed
// message, the reason line) on stderr, in UTF-8; returns ExitFailed.
int ReportFailure(const TActionResult &result);
// "tarvoctl: <message>" on stderr; returns ExitFailed.
int Fail(const std::string &message);

// Whole number in [lo, hi]; nothing for anything else.
std::optional<long long> ParseNumber(const std::string &text, long long lo, long long hi);

// Progress on stderr while a transfer runs: a counter redrawn in place on a
// terminal, otherwise a line a second once it has run for a second (and the
// last count at the end, once any was written); never a line per record.
class TCliProgress : public TProgress {
 public:
  explicit TCliProgress(std::string what) : FWhat(std::move(what)) {}
  void Begin(int total) override;
  void Step(int done) override;
  void Lines(int received) override;
  void End() override;

 private:
  void Show(std::string text, bool last);

  std::string FWhat;
  int FTotal = 0;
  bool FRunning = false;
  long long FStarted = 0;
  long long FLastDraw = 0;
  bool FTty = false;
  bool FShown = false;
  std::string FCurrent;  // what the count says now
  std::string FDrawn;    // what was written last
};

// Prints a table as `show` does (through Output.h): the field names joined
// by ";", then every row in Cod order, texts in UTF-8, floats with a decimal
// comma, empty values empty.
void PrintTable(const TRecordSet &table);

// FIELD=VALUE words from `from` on, values converted from UTF-8 to the
// register's code page. ExitOk, else the exit status with its message on
// stderr: bad usage for a word without "=", a failure for a character the
// code page cannot hold.
int ParseAssignments(const TCliContext &cx, size_t from, std::vector<std::pair<std::string, std::string>> &out);
