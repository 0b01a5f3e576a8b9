#include "Cli.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include "CodePage.h"
#include "Output.h"
#include "ProgramDir.h"
#include "Projects.h"
#include "RecordSet.h"
#include "ReportReader.h"
#include "TableText.h"

std::string ForTerminal(const std::string &bytes) {
  std::string s = ToUtf8(bytes);
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
  for (char &c : s)
    if (c == '\r') c = '\n';
  return s;
}

std::string AbsolutePath(const std::string &path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

namespace {

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::optional<TProjectContext> TCliContext::OpenProject() const {
  if (Project.empty()) {
    std::fprintf(stderr, "tarvoctl: %s needs --project NAME\n", Name.c_str());
    return std::nullopt;
  }
  const QString name = QString::fromUtf8(Project.c_str());
  if (const QString problem = ProjectNameProblem(name); !problem.isEmpty()) {
    std::fprintf(stderr, "tarvoctl: %s\n", problem.toUtf8().trimmed().constData());
    return std::nullopt;
  }
  const QString dir = ProgramDir() + name;
  if (!QFileInfo(dir).isDir()) {
    std::fprintf(stderr, "tarvoctl: there is no project %s in %s (tarvoctl project create %s makes one)\n",
                 Project.c_str(), ProgramDirectory().c_str(), Project.c_str());
    return std::nullopt;
  }
  TProjectContext cx;
  cx.Dir = PathBytes(dir);
  cx.Link = Link;
  // A Z report whose read never finished (the program was killed, the power
  // went) left its lines in the project: said once, before anything else.
  for (const TLeftJournal &left : RecoverZJournals(cx.Dir, {ProjectZNames()}))
    std::fprintf(stderr, "tarvoctl: %s\n", LeftJournalLogLine(left).c_str());
  return cx;
}

int UsageError(const TCliContext &cx, const std::string &message) {
  std::fprintf(stderr, "tarvoctl: %s\n", message.c_str());
  for (const TSubcommand &s : Subcommands())
    if (cx.Name == s.Name) {
      std::fprintf(stderr, "usage:\n%s", s.Usage);
      return ExitUsage;
    }
  std::fputs(UsageText().c_str(), stderr);
  return ExitUsage;
}

int ReportFailure(const TActionResult &result) {
  if (!result.Notice.empty()) std::fprintf(stderr, "tarvoctl: %s\n", ForTerminal(result.Notice).c_str());
  if (!result.Message.empty()) std::fprintf(stderr, "tarvoctl: %s\n", ForTerminal(result.Message).c_str());
  const std::string line = result.ReasonLine();
  if (!line.empty()) std::fprintf(stderr, "  %s\n", ForTerminal(line).c_str());
  return ExitFailed;
}

int Fail(const std::string &message) {
  std::fprintf(stderr, "tarvoctl: %s\n", message.c_str());
  return ExitFailed;
}

std::optional<long long> ParseNumber(const std::string &text, long long lo, long long hi) {
  long long v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || v < lo || v > hi)
    return std::nullopt;
  return v;
}

void TCliProgress::Begin(int total) {
  FTotal = total;
  FRunning = true;
  FTty = ::isatty(STDERR_FILENO);
  FStarted = NowMs();
  FLastDraw = 0;
  FShown = false;
  FCurrent.clear();
  FDrawn.clear();
}

void TCliProgress::Step(int done) {
  if (!FRunning) return;
  Show(FWhat + ": " + std::to_string(done) + (FTotal > 0 ? "/" + std::to_string(FTotal) : ""),
       FTotal > 0 && done == FTotal);
}

void TCliProgress::Lines(int received) {
  if (!FRunning) return;
  Show(FWhat + ": " + std::to_string(received) + (received == 1 ? " line" : " lines") + " received", false);
}

void TCliProgress::Show(std::string text, bool last) {
  FCurrent = std::move(text);
  const long long now = NowMs();
  // A terminal gets a counter redrawn ten times a second; a log gets a line
  // a second, and nothing at all for what ends within a second.
  if (FTty) {
    if (!last && now - FLastDraw < 100) return;
    // Blanks over the end of a longer text drawn before.
    const size_t pad = FDrawn.size() > FCurrent.size() ? FDrawn.size() - FCurrent.size() : 0;
    std::fprintf(stderr, "\r%s%s", FCurrent.c_str(), std::string(pad, ' ').c_str());
    std::fflush(stderr);
  } else {
    if (now - std::max(FStarted, FLastDraw) < 1000 && !(last && FShown)) return;
    std::fprintf(stderr, "%s\n", FCurrent.c_str());
  }
  FLastDraw = now;
  FShown = true;
  FDrawn = FCurrent;
}

void TCliProgress::End() {
  // Once a count was shown, its last value is too.
  if (FShown && FCurrent != FDrawn) {
    if (FTty)
      std::fprintf(stderr, "\r%s%s", FCurrent.c_str(),
                   std::string(FDrawn.size() > FCurrent.size() ? FDrawn.size() - FCurrent.size() : 0, ' ').c_str());
    else
      std::fprintf(stderr, "%s\n", FCurrent.c_str());
  }
  if (FTty && FShown) std::fputc('\n', stderr);
  FTotal = 0;
  FRunning = false;
}

void PrintTable(const TRecordSet &table) {
  const TTableText text = TableText(table);
  auto line = [](const std::vector<std::string> &cells) {
    std::string out;
    for (size_t f = 0; f < cells.size(); ++f) out += (f ? ";" : "") + cells[f];
    return out + '\n';
  };
  std::string out = line(text.Fields);
  for (const auto &row : text.Rows) out += line(row);
  Out(out);
}

int ParseAssignments(const TCliContext &cx, size_t from, std::vector<std::pair<std::string, std::string>> &out) {
  const std::vector<std::string> &words = cx.Args;
  for (size_t i = from; i < words.size(); ++i)
    if (const size_t eq = words[i].find('='); eq == std::string::npos || eq == 0)
      return UsageError(cx, words[i] + " is not FIELD=VALUE");
  for (size_t i = from; i < words.size(); ++i) {
    const size_t eq = words[i].find('=');
    bool ok = true;
    std::string value = FromUtf8(words[i].substr(eq + 1), &ok);
    if (!ok)
      return Fail(words[i] + " holds characters the register's code page (Windows-1250) cannot hold");
    out.emplace_back(words[i].substr(0, eq), std::move(value));
  }
  return ExitOk;
}
