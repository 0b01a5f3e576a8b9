// The raw link subcommands: read, write and command, for diagnosing a line.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ComPortMap.h"
#include "FailureReason.h"
#include "NetAddress.h"
#include "Output.h"
#include "SerialSettings.h"
#include "Subcommands.h"
#include "TarvoCore.h"

namespace {

// Where to look for a port that is not there (the reason line says the
// rest: who holds a port in use, how to get access to a refused one).
const char *OpenHint(int osError) {
  switch (osError) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return "check the device (--device), or the COMn key of section [Porturi] in TARVOPROG.INI "
             "in the program directory";
    default:
      return nullptr;
  }
}

void WriteLines(const TLineList &lines) {
  for (const std::string &l : lines) {
    Out(l);  // bytes as received, 0x00 included
    Out("\n");
  }
}

int RunRaw(TCliContext &cx) {
  std::string payload;
  bool havePayload = false;
  TLinkTarget target{1, 3};
  for (size_t i = 0; i < cx.Args.size(); ++i) {
    const std::string &a = cx.Args[i];
    const std::string *v = i + 1 < cx.Args.size() ? &cx.Args[i + 1] : nullptr;
    if (a == "--port") {
      const auto n = v ? ParseNumber(*v, 1, 255) : std::nullopt;
      if (!n) return UsageError(cx, "--port needs a COM number from 1 to 255");
      if (!cx.Link.Device.empty()) return UsageError(cx, "give --device or --port, not both");
      target.Port = int(*n);
      ++i;
    } else if (a == "--baud") {
      const auto n = v ? ParseNumber(*v, 0, 1000000) : std::nullopt;
      target.BaudCode = n ? BaudCodeOfBits(int(*n)) : 0;
      if (target.BaudCode == 0) return UsageError(cx, "--baud must be 19200, 38400 or 57600");
      ++i;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      return UsageError(cx, "unknown option " + a);
    } else if (!havePayload) {
      payload = a;
      havePayload = true;
    } else {
      return UsageError(cx, "one text only (quote it if it holds blanks)");
    }
  }
  if (payload.empty()) return UsageError(cx, "the command text is missing");

  TTARVO link(cx.Name == "write", cx.Link.SilenceMs);
  std::string reason;
  if (!ConnectLink(link, target, cx.Link, &reason)) {
    std::fprintf(stderr, "tarvoctl: %s\n  %s\n", link.LastError().c_str(), reason.c_str());
    // A device server's reason says what to do already; errno hints are for devices.
    if (const char *hint = IsPortUrl(link.DevicePath) ? nullptr : OpenHint(link.LastOsError()))
      std::fprintf(stderr, "  %s\n", hint);
    return ExitFailed;
  }
  // Under the link's own text, kept for support and scripts, the reason
  // line every other subcommand gives.
  const std::string place = LinkPlace(link, !cx.Link.Device.empty());
  auto failed = [&](const TFailureFacts &facts) {
    std::fprintf(stderr, "tarvoctl: %s\n  %s\n", link.LastError().c_str(), ForTerminal(ReasonText(facts)).c_str());
    return ExitFailed;
  };
  bool ok = false;
  TLineList lines;
  try {
    if (cx.Name == "read")
      ok = link.ReadLines(payload, lines);
    else if (cx.Name == "write")
      ok = link.SendText(payload);
    else
      ok = link.SendCommand(payload);
  } catch (const std::exception &e) {
    WriteLines(lines);
    return failed(PortExceptionFacts(link, e, place, cx.Link.SilenceMs));
  }
  // Lines of a failed read are shown as well: they did arrive.
  WriteLines(lines);
  if (!ok) return failed(ExchangeFailureFacts(link, place, cx.Link.SilenceMs));
  return ExitOk;
}

}  // namespace

const TSubcommand CmdRead = {
    "read",
    "  read COMMAND [--port N] [--baud B]   print each answer line of a read command (e.g. D5000)\n",
    RunRaw};
const TSubcommand CmdWrite = {
    "write",
    "  write TEXT [--port N] [--baud B]     send TEXT as a record, wait for the register's acceptance\n",
    RunRaw};
const TSubcommand CmdCommand = {
    "command",
    "  command TEXT [--port N] [--baud B]   send TEXT and wait for nothing (e.g. CPX)\n",
    RunRaw};
