// The answers in the work directory: a command's ".OK" or ".ERR" file,
// written whole under a name no one looks for and renamed into place.
#pragma once

#include <functional>
#include <string>

#include "CommandFile.h"
#include "CommandOutcome.h"

// Deletes the command's ".OK" and ".ERR" files, in any case of their names,
// before it runs again; a failure is ignored.
void DeleteResults(const std::string &dir, const TOnlineCommand &cmd);

// Writes the ".OK" (the outcome's lines) or the ".ERR" (its message);
// throws when it cannot be written.
void WriteResult(const std::string &dir, const TOnlineCommand &cmd, const TCommandOutcome &out);

// Answers the command whatever it takes: an ".OK" that cannot be written
// becomes an ".ERR" (out is changed to say so, with where a Z report's
// lines are kept). Returns the name of the result file meant; a failure to
// write even that one is told through log, never thrown.
std::string DeliverResult(const std::string &dir, const TOnlineCommand &cmd, TCommandOutcome &out,
                          const std::string &name, const std::function<void(const std::string &)> &log);
