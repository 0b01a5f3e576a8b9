// The log lines a technician reads on stderr (the window's online mode,
// tarvoctl online, tarvoctl serve) all start the same way, so that one
// journal can hold them side by side.
#pragma once

#include <string>

// Local date and time, the part that speaks ("online", "serve") with a colon,
// the line: "2024-05-06 14:03:59 online: watching ...".
std::string StampedLogLine(const std::string &who, const std::string &line);
