// Projects and their serial settings: what "Proiect nou" and "Setari" do.
#include <cstdio>

#include <QString>

#include "ComPortMap.h"
#include "Output.h"
#include "ProgramDir.h"
#include "Projects.h"
#include "Schemas.h"
#include "SerialSettings.h"
#include "Subcommands.h"
#include "TableFile.h"

namespace {

int RunProject(TCliContext &cx) {
  if (cx.Args.size() != 2 || cx.Args[0] != "create") return UsageError(cx, "project create NAME");
  const QString name = QString::fromUtf8(cx.Args[1].c_str());
  // The checks of the new-project dialog, in its order, with its messages.
  if (const QString problem = CreateProjectDirectory(ProgramDir(), name); !problem.isEmpty())
    return Fail(problem.toUtf8().trimmed().toStdString());
  OutF("%s\n", PathBytes(ProgramDir() + name).c_str());
  return ExitOk;
}

int RunSettings(TCliContext &cx) {
  std::optional<long long> port, bits;
  for (size_t i = 0; i < cx.Args.size(); ++i) {
    const std::string &a = cx.Args[i];
    const std::string *v = i + 1 < cx.Args.size() ? &cx.Args[i + 1] : nullptr;
    if (a == "--port") {
      port = v ? ParseNumber(*v, 1, 16) : std::nullopt;
      if (!port) return UsageError(cx, "--port needs a COM number from 1 to 16");
      ++i;
    } else if (a == "--baud") {
      bits = v ? ParseNumber(*v, 0, 1000000) : std::nullopt;
      if (!bits || BaudCodeOfBits(int(*bits)) == 0) return UsageError(cx, "--baud must be 19200, 38400 or 57600");
      ++i;
    } else {
      return UsageError(cx, "unknown word " + a);
    }
  }
  const auto project = cx.OpenProject();
  if (!project) return ExitFailed;
  try {
    // As the dialog does: the file exists, with COM1 at 57600 bit/s, from
    // the first time the settings are looked at.
    std::optional<TSerialSettings> s = LoadSerialSettings(project->Dir);
    const bool existed = s.has_value();
    if (!s) s = TSerialSettings{SetariDefaultPort, SetariDefaultBaud};
    if (port) s->Port = int32_t(*port);
    if (bits) s->Baud = BaudCodeOfBits(int(*bits));
    if (!existed || port || bits) SaveSerialSettings(project->Dir, *s);
    OutF("Port;Baud;Device\n%d;%d;%s\n", s->Port, BaudBitsOfCode(s->Baud),
                cx.Link.Device.empty() ? PortDevice(s->Port).c_str() : cx.Link.Device.c_str());
  } catch (const std::exception &e) {
    return Fail(e.what());
  }
  return ExitOk;
}

}  // namespace

const TSubcommand CmdProject = {
    "project",
    "  project create NAME                  create a project directory (as \"Proiect nou\")\n",
    RunProject};
const TSubcommand CmdSettings = {
    "settings",
    "  settings [--port N] [--baud B]       show, or set and save, the project's COM port (1-16)\n"
    "                                       and speed (19200, 38400, 57600)\n",
    RunSettings};
