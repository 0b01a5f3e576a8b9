// The programming run every editor has with the register, written once: one
// record per row, stopping at the first refusal. It opens its link through
// the project's register slot and turns every failure, a port error
// included, into a result with its reason. (The read of a command's answer
// lines is ReadAnswer in RegisterLink.h, shared with the reports.)
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ActionResult.h"
#include "RegisterLink.h"
#include "TextHelpers.h"

class TTARVO;

// Opens a write-mode link and calls send(link, row) for each of rows in
// turn, with progress in rows sent and events let run before each. The
// first row that fails ends the run: the result names it by code(row) and
// its place in the run, and carries the link's LastError. acknowledged, when
// given, gets how many rows from the front of the list the register took.
TActionResult SendRows(const TProjectContext &context, const std::vector<int> &rows, TProgress &progress,
                       const std::function<bool(TTARVO &, int row)> &send,
                       const std::function<std::string(int row)> &code, int *acknowledged = nullptr);
