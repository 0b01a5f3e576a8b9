// What the table subcommands print for the two actions that weigh the
// project against the register: a changes run (program --changed) and a
// verify. The same words for every table, the PLUs included.
#pragma once

#include <string>

#include "Cli.h"
#include "EditorLogic.h"

// After program --changed: the rows sent and the file saved, or the run's
// failure; without an image, the message and the full run to use instead.
// name is the subcommand ("dept"), savedPath the table file.
int ReportChangesRun(const TCliContext &cx, const std::string &name, const TActionResult &result,
                     const TEditorLogic &logic, int tableRows, const std::string &savedPath);

// After verify: one line per difference on stdout (UTF-8), a summary on
// stderr; 0 when the register holds the project's table, 1 when it does not
// or the read failed. codeWord names the key in the lines ("Cod", "Bloc").
int ReportVerify(const std::string &name, const TActionResult &result, const TEditorLogic &logic,
                 const std::string &codeWord);
