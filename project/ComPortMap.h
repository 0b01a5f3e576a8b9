// Which device a COM port number stands for on this machine: key COMn of
// section [Porturi] of TARVOPROG.INI in the program directory, else the n-th
// serial device (/dev/ttyS(n-1)); a number no port has (0) names nothing
// that opens.
#pragma once

#include <string>

// The device of COM port n (1..255). A relative path in the INI file means
// beside the program, never the current directory of whoever started it.
std::string PortDevice(int comNumber);
// The INI key that maps it, when there is one ("" otherwise).
std::string MappedPortDevice(int comNumber);
