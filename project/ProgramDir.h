// The program directory: where projects, TARVOPROG.INI, the scale driver and
// the scale files live. It is the directory of the running executable.
#pragma once

#include <string>

// Ends in '/'. Tests (and the command line's --home) point it elsewhere so
// that nothing touches a real user's files.
std::string ProgramDirectory();
// An empty dir returns to the executable's directory; a missing '/' is added.
void SetProgramDirectory(const std::string &dir);

// The directory of the running executable, ending in '/'.
std::string ExecutableDirectory();

// ProgramDirectory() + "TARVOPROG.INI".
std::string TarvoIniPath();
