// tarvoctl online: the command-file processor without a window, for a shop
// server. It runs with the settings of TARVOPROG.INI whatever OnlineActiv
// says, reads them again before each command file, never writes them, and
// stops cleanly on SIGINT or SIGTERM once the command file in progress has
// its result.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include "CommandProcessor.h"
#include "ProgramDir.h"
#include "SerialSettings.h"
#include "StampedLogLine.h"
#include "Subcommands.h"

namespace {

int StopPipe[2] = {-1, -1};

// Only says that a signal came; the event loop does the rest.
void OnStopSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(StopPipe[1], &byte, 1);
  errno = saved;
}

bool InstallStopSignals() {
  if (::pipe2(StopPipe, O_NONBLOCK | O_CLOEXEC) != 0) return false;
  struct sigaction sa {};
  sa.sa_handler = OnStopSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  return ::sigaction(SIGINT, &sa, nullptr) == 0 && ::sigaction(SIGTERM, &sa, nullptr) == 0;
}

void LogLine(const std::string &line) {
  std::fprintf(stderr, "%s\n", StampedLogLine("online", line).c_str());
  std::fflush(stderr);
}

int RunOnline(TCliContext &cx) {
  if (!cx.Args.empty()) return UsageError(cx, "online takes no words");
  const std::string ini = TarvoIniPath();
  TOnlineSettings settings;
  std::string error;
  if (!LoadOnlineSettings(settings, &error)) return Fail("cannot read " + ini + ": " + error);
  const bool haveIni = ::access(ini.c_str(), F_OK) == 0;

  TProcessorOptions options;
  options.Link = cx.Link;
  // The file is read again before every command file, as the window reads
  // its dialog's settings; a file that is gone or cannot be read for a
  // moment leaves the last good settings in force.
  TCommandProcessor processor(
      [ini, last = settings]() mutable {
        TOnlineSettings now;
        if (::access(ini.c_str(), F_OK) == 0 && LoadOnlineSettings(now)) last = now;
        return last;
      },
      options);
  // The first claim is told below, once, in the words of a start-up.
  const TWorkDirStatus &status = processor.Claim();
  const std::string where = haveIni ? "DirectorLucru of [Configurari] in " + ini
                                    : "the program directory, as there is no " + ini;
  if (status.State == TWorkDirState::Inaccessible)
    return Fail("cannot use the work directory " + status.Dir + " (" + where + "): " + status.Reason);
  if (status.State == TWorkDirState::Taken)
    return Fail("the work directory " + status.Dir + " (" + where +
                ") is already worked by another processor (the program's online mode or another "
                "tarvoctl online)");
  if (!InstallStopSignals()) return Fail("cannot install the SIGINT/SIGTERM handlers");
  processor.OnLog = LogLine;
  LogLine("watching " + status.Dir + " for command files; COM" + std::to_string(settings.PortOnline) + " at " +
          std::to_string(BaudBitsOfCode(settings.BaudRateOnline)) + " bit/s; settings from " +
          (haveIni ? ini : "the defaults (no " + ini + ")") + "; SIGINT or SIGTERM stops");

  QTimer timer;
  timer.setInterval(1000);  // TprocessorTimer
  QObject::connect(&timer, &QTimer::timeout, [&processor] {
    processor.Tick();
    if (processor.StopRequested()) QCoreApplication::quit();
  });
  QSocketNotifier notifier(StopPipe[0], QSocketNotifier::Read);
  QObject::connect(&notifier, &QSocketNotifier::activated, [&processor] {
    char buf[16];
    while (::read(StopPipe[0], buf, sizeof buf) > 0) {
    }
    if (processor.StopRequested()) return;
    processor.RequestStop();
    if (processor.Busy()) {
      // Quitting now would end the waits the command needs; the timer's
      // slot quits once the command file has its result.
      LogLine("stopping after the command file in progress");
    } else {
      QCoreApplication::quit();
    }
  });
  timer.start();
  QCoreApplication::exec();
  LogLine("stopped");
  return ExitOk;
}

}  // namespace

const TSubcommand CmdOnline = {
    "online",
    "  online                               carry out the command files of the online work\n"
    "                                       directory (TARVOPROG.INI [Configurari]) until SIGINT\n"
    "                                       or SIGTERM; one log line per command file on stderr\n",
    RunOnline};
