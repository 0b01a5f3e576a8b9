// tarvoctl: the programming tool without windows, for scripts, servers and
// support. One table of subcommands; the options every subcommand shares
// are taken out of the words wherever they stand.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "Cli.h"
#include "LinkTrace.h"
#include "Output.h"
#include "ProgramDir.h"
#include "Subcommands.h"

const std::vector<TSubcommand> &Subcommands() {
  static const std::vector<TSubcommand> table = {
      CmdProject, CmdSettings, CmdRead, CmdWrite, CmdCommand, CmdPorts,
      CmdDept, CmdVat, CmdCashier, CmdRate, CmdPayment, CmdParam, CmdOption,
      CmdPlu, CmdScale, CmdReport, CmdOnline, CmdServe,
  };
  return table;
}

std::string UsageText() {
  std::string text =
      "usage: tarvoctl [global options] SUBCOMMAND [words and options]\n"
      "global options (anywhere on the line):\n"
      "  --project NAME    the project (a directory of the program directory)\n"
      "  --device PATH|URL talk to this device instead of the project's COM port, or to a\n"
      "                    serial device server: tcp://HOST:PORT (raw TCP) or\n"
      "                    rfc2217://HOST:PORT (Telnet, RFC 2217: the server's line is set)\n"
      "  --trace FILE      write every frame both ways to FILE (time, hex, text)\n"
      "  --timeout MS      the silence that ends an exchange (default 5000)\n"
      "  --home DIR        the program directory (projects, TARVOPROG.INI) to use\n"
      "  --help            this text\n"
      "subcommands:\n";
  for (const TSubcommand &s : Subcommands()) text += s.Usage;
  text += "program directory: " + ProgramDirectory() + "\n";
  text += "exit status: 0 success, 1 failure (the reason on stderr; also when the output cannot be\n"
          "written: a full disk, a closed pipe), 2 bad usage\n";
  return text;
}

namespace {

// Takes the global options out of args; false (message printed) when one
// of them is malformed.
bool TakeGlobalOptions(std::vector<std::string> &args, TCliContext &cx, bool &help, bool &home) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    if (a == "--") {  // everything after it is a word
      rest.insert(rest.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
      break;
    }
    auto value = [&](const char *what) -> const std::string * {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        std::fprintf(stderr, "tarvoctl: %s needs %s\n", a.c_str(), what);
        return nullptr;
      }
      return &args[++i];
    };
    if (a == "--help" || a == "-h") {
      help = true;
    } else if (a == "--project") {
      const std::string *v = value("a project name");
      if (!v) return false;
      cx.Project = *v;
    } else if (a == "--home") {
      const std::string *v = value("a directory");
      if (!v) return false;
      // Set before anything reads it, the help text included; absolute,
      // since paths in TARVOPROG.INI are taken relative to it.
      SetProgramDirectory(AbsolutePath(*v));
      home = true;
    } else if (a == "--device") {
      const std::string *v = value("a device path or a tcp:// or rfc2217:// address");
      if (!v) return false;
      cx.Link.Device = *v;
    } else if (a == "--trace") {
      const std::string *v = value("a file name");
      if (!v) return false;
      cx.TracePath = *v;
    } else if (a == "--timeout") {
      const std::string *v = value("milliseconds");
      if (!v) return false;
      const auto ms = ParseNumber(*v, 1, 600000);
      if (!ms) {
        std::fprintf(stderr, "tarvoctl: --timeout needs milliseconds from 1 to 600000\n");
        return false;
      }
      cx.Link.SilenceMs = int(*ms);
    } else {
      rest.push_back(a);
    }
  }
  args = std::move(rest);
  return true;
}

int Run(int argc, char **argv) {
  // The link waits for the register in Qt's event loop.
  QCoreApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  TCliContext cx;
  bool help = args.empty() ? false : args[0] == "help";
  if (help) args.erase(args.begin());
  bool home = false;
  if (!TakeGlobalOptions(args, cx, help, home)) {
    std::fputs(UsageText().c_str(), stderr);
    return ExitUsage;
  }
  if (help) {
    Out(UsageText());
    return ExitOk;
  }
  if (args.empty()) {
    std::fputs(UsageText().c_str(), stderr);
    return ExitUsage;
  }
  // A directory named outright is made on first use, as the default one is.
  if (home)
    if (const std::string why = MakeDirectories(ProgramDirectory()); !why.empty())
      return Fail("cannot use " + ProgramDirectory() + " as the program directory: " + why);
  if (!cx.TracePath.empty()) {
    try {
      cx.Link.Trace = std::make_shared<TLinkTrace>(cx.TracePath);
    } catch (const std::exception &e) {
      std::fprintf(stderr, "tarvoctl: %s\n", e.what());
      return ExitFailed;
    }
  }
  cx.Name = args[0];
  cx.Args.assign(args.begin() + 1, args.end());
  for (const TSubcommand &s : Subcommands())
    if (cx.Name == s.Name) return s.Run(cx);
  std::fprintf(stderr, "tarvoctl: unknown subcommand %s\n", cx.Name.c_str());
  std::fputs(UsageText().c_str(), stderr);
  return ExitUsage;
}

}  // namespace

int main(int argc, char **argv) {
  PrepareStandardStreams();
  const int status = Run(argc, argv);
  // Whatever the subcommand said, its lines must have arrived.
  if (!FinishOutput()) return OutputFailure();
  return status;
}
