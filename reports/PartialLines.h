// The lines of a Z report whose read broke off. The register may already
// have cleared what it sent, so these lines are the only copy left: they are
// kept in a file of their own, as received, under a name that carries the
// date and time and never replaces an earlier one.
#pragma once

#include <ctime>
#include <string>

#include "TextHelpers.h"

// Writes lines (CR LF after each) to dir + prefix + "-YYYYMMDD-HHMMSS" +
// suffix, local time of `when`; when that name is taken, "-2", "-3", ... go
// before the suffix. Returns the path written; throws EFileWrite.
std::string SavePartialLines(const std::string &dir, const std::string &prefix,
                             const std::string &suffix, const TLineList &lines,
                             std::time_t when = std::time(nullptr));
