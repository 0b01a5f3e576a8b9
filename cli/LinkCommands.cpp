#include "LinkCommands.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>

#include "PortMap.h"
#include "TarvoCore.h"

namespace {

struct TLinkOptions {
  std::string Payload;  // the command or text
  std::string Device;
  int Port = 0;  // 0: not given
  TBaudRate Baud = br57600;
  int TimeoutMs = 5000;
};

std::optional<int> ParseInt(const std::string &s) {
  int v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
  return v;
}

int UsageError(const std::string &message) {
  std::fprintf(stderr, "tarvoctl: %s\n%s", message.c_str(), LinkUsage());
  return ExitUsage;
}

// Parses args into o; returns 0 when they are sound, else the usage status.
int ParseOptions(const std::vector<std::string> &args, TLinkOptions &o) {
  bool havePayload = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    auto value = [&](const char *what) -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      (void)what;
      return args[++i];
    };
    if (a == "--device") {
      auto v = value("PATH");
      if (!v || v->empty()) return UsageError("--device needs a device path");
      o.Device = *v;
    } else if (a == "--port") {
      auto v = value("N");
      auto n = v ? ParseInt(*v) : std::nullopt;
      if (!n || *n < 1 || *n > 255) return UsageError("--port needs a COM number from 1 to 255");
      o.Port = *n;
    } else if (a == "--baud") {
      auto v = value("RATE");
      auto n = v ? ParseInt(*v) : std::nullopt;
      if (n == 19200) o.Baud = br19200;
      else if (n == 38400) o.Baud = br38400;
      else if (n == 57600) o.Baud = br57600;
      else return UsageError("--baud must be 19200, 38400 or 57600");
    } else if (a == "--timeout") {
      auto v = value("MS");
      auto n = v ? ParseInt(*v) : std::nullopt;
      if (!n || *n < 1 || *n > 600000) return UsageError("--timeout needs milliseconds from 1 to 600000");
      o.TimeoutMs = *n;
    } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      return UsageError("unknown option " + a);
    } else if (!havePayload) {
      o.Payload = a;
      havePayload = true;
    } else {
      return UsageError("one text only (quote it if it holds blanks)");
    }
  }
  if (!havePayload || o.Payload.empty()) return UsageError("the command text is missing");
  if (!o.Device.empty() && o.Port != 0) return UsageError("give --device or --port, not both");
  return 0;
}

// What the user can do about a port that does not open.
const char *OpenHint(int osError) {
  switch (osError) {
    case EACCES:
    case EPERM:
      return "your user may not use the device: add it to the dialout group "
             "(sudo usermod -aG dialout $USER) and log in again";
    case EBUSY:
      return "another program holds the port: close it and try again";
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return "check the device (--device), or the COMn key of section [Porturi] in TARVOPROG.INI "
             "beside tarvoctl";
    default:
      return nullptr;
  }
}

void ReportOpenFailure(const TTARVO &link, const std::string &device) {
  std::fprintf(stderr, "tarvoctl: %s\n", link.LastError().c_str());
  std::string reason = link.LastPortMessage();
  if (link.LastOsError() > 0) reason += std::string(": ") + std::strerror(link.LastOsError());
  std::fprintf(stderr, "  %s: %s\n", device.c_str(), reason.c_str());
  if (const char *hint = OpenHint(link.LastOsError())) std::fprintf(stderr, "  %s\n", hint);
}

void WriteLines(const TLineList &lines) {
  for (const std::string &l : lines) {
    std::fwrite(l.data(), 1, l.size(), stdout);  // bytes as received, 0x00 included
    std::fputc('\n', stdout);
  }
  std::fflush(stdout);
}

}  // namespace

bool IsLinkCommand(const std::string &name) {
  return name == "read" || name == "write" || name == "command";
}

const char *LinkUsage() {
  return "usage: tarvoctl read COMMAND   [options]   read answer lines (e.g. D5000)\n"
         "       tarvoctl write TEXT     [options]   send TEXT and wait for the register's acceptance\n"
         "       tarvoctl command TEXT   [options]   send TEXT, wait for nothing (e.g. CPX)\n"
         "options: --device PATH | --port N   the device, or COM number N (default COM1)\n"
         "         --baud 19200|38400|57600   line speed (default 57600)\n"
         "         --timeout MS               silence that ends an exchange (default 5000)\n"
         "exit status: 0 success, 1 failure (reason on stderr), 2 bad usage\n";
}

int RunLinkCommand(const std::string &name, const std::vector<std::string> &args) {
  TLinkOptions o;
  if (const int status = ParseOptions(args, o)) return status;

  TTARVO link(name == "write", o.TimeoutMs);
  link.PortBaud = o.Baud;
  if (!o.Device.empty()) link.DevicePath = o.Device;
  if (o.Port != 0) link.PortNumber = uint8_t(o.Port);
  const std::string device =
      o.Device.empty() ? MapPortName("COM" + std::to_string(unsigned(link.PortNumber))) : o.Device;

  if (!link.Connect()) {
    ReportOpenFailure(link, device);
    return ExitFailed;
  }

  bool ok = false;
  TLineList lines;
  try {
    if (name == "read")
      ok = link.ReadLines(o.Payload, lines);
    else if (name == "write")
      ok = link.SendText(o.Payload);
    else
      ok = link.SendCommand(o.Payload);
  } catch (const std::exception &e) {
    WriteLines(lines);
    std::fprintf(stderr, "tarvoctl: %s\n  %s: %s\n", link.LastError().c_str(), device.c_str(), e.what());
    return ExitFailed;
  }
  // Lines of a failed read are shown as well: they did arrive.
  WriteLines(lines);
  if (!ok) {
    std::fprintf(stderr, "tarvoctl: %s\n", link.LastError().c_str());
    return ExitFailed;
  }
  return ExitOk;
}
