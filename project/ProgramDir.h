// The program directory: where projects, TARVOPROG.INI, the scale driver and
// the scale files live.
//
// A copy carried on a stick keeps everything beside its executable, as it
// always has. An installed program cannot write beside itself, so it keeps
// them in the user's data directory instead ($XDG_DATA_HOME/tarvoprog, by
// default ~/.local/share/tarvoprog), made on first use. `tarvoctl --home
// DIR` (a service, for one) names the directory outright.
#pragma once

#include <string>

// Ends in '/'. Tests (and the command line's --home) point it elsewhere so
// that nothing touches a real user's files.
std::string ProgramDirectory();
// An empty dir returns to the rule above; a missing '/' is added.
void SetProgramDirectory(const std::string &dir);

// The directory of the running executable, ending in '/'.
std::string ExecutableDirectory();

// ProgramDirectory() + "TARVOPROG.INI".
std::string TarvoIniPath();

// The rule, with what it looks at passed in: executableDir when this user
// may write there (access(2) semantics, so root may write almost anywhere)
// and it is not part of the system's read-only tree (/usr, /bin, /sbin:
// root running the installed program must not fill /usr/bin); else the
// user's data directory. Ends in '/'; creates nothing.
std::string ProgramDirectoryFor(const std::string &executableDir, const std::string &xdgDataHome,
                                const std::string &home);

// $XDG_DATA_HOME/tarvoprog/ when that variable holds an absolute path (the
// convention ignores a relative one), else HOME/.local/share/tarvoprog/.
std::string UserDataDirectory(const std::string &xdgDataHome, const std::string &home);

// Makes dir and its missing parents. "" on success, else why not.
std::string MakeDirectories(const std::string &dir, unsigned mode = 0777);
