// Carrying out one command file against the register: the PLU list sent
// record by record, or a report read (a Z report kept in its journal while
// it comes in), each over a link of its own on the online port and speed,
// and the command answered with its result file. What to do with the
// command file afterwards is the poller's business.
#pragma once

#include <functional>
#include <string>

#include "CommandFile.h"
#include "CommandOutcome.h"
#include "OnlineSettings.h"
#include "QuietRead.h"
#include "RegisterLink.h"

class TCommandRunner {
 public:
  // Asked before each command file for the port and speed.
  using TSettingsSource = std::function<TOnlineSettings()>;
  using TLog = std::function<void(const std::string &line)>;

  TCommandRunner(TSettingsSource settings, TLinkOptions link, TQuietRead quiet, TLog log);

  // Runs dir + name as cmd: its old ".OK" and ".ERR" go first, and whatever
  // happens, even an unexpected error, it is answered with one of them.
  TAnsweredFile Answer(const TOnlineCommand &cmd, const std::string &dir, const std::string &name);

 private:
  TCommandOutcome RunWritePlu(const std::string &dir, const std::string &name);
  TCommandOutcome RunRead(const TOnlineCommand &cmd, const std::string &dir);
  // The project context of a command's own link: the window's slot is never used.
  TProjectContext OnlineContext(const std::string &dir) const;

  TSettingsSource FSettings;
  TLinkOptions FLink;
  TQuietRead FQuiet;
  TLog FLog;
};
