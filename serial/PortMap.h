// The serial component's own idea of a port name: "COMn" is the n-th serial
// device of the machine. The program's port map (which device a COM number
// stands for on this machine) is applied above the component, by whoever
// opens a link, so the component never reads the program's files.
#pragma once

#include <string>

// "COMn" (n 1..255, no leading zero): /dev/ttyS(n-1). Any other name is
// taken as a device path as it stands.
std::string MapPortName(const std::string &port);
// n for a "COMn" name, 0 for any other name.
int ComPortNumber(const std::string &port);
