// Where a "COMn" port name leads on this machine, and where the program lives.
#pragma once

#include <string>

// The directory of the running executable, ending in '/'. Tests point it at
// a scratch directory so that they never touch a real user's files.
std::string ProgramDirectory();
void SetProgramDirectory(const std::string &dir);

// "COMn": the device named by key COMn of section [Porturi] of TARVOPROG.INI
// in the program directory, else /dev/ttyS(n-1). Any other name is taken as
// a device path as it stands.
std::string MapPortName(const std::string &port);
