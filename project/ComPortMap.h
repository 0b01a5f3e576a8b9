// Which device a COM port number stands for on this machine: key COMn of
// section [Porturi] of TARVOPROG.INI in the program directory, else the n-th
// serial device (/dev/ttyS(n-1)); a number no port has (0) names nothing
// that opens. The key may also hold a serial device server's address,
// tcp://HOST:PORT or rfc2217://HOST:PORT.
#pragma once

#include <string>

// The device of COM port n (1..255). A relative path in the INI file means
// beside the program, never the current directory of whoever started it;
// an address stays as it is written.
std::string PortDevice(int comNumber);
// The INI key that maps it, when there is one ("" otherwise).
std::string MappedPortDevice(int comNumber);

// Makes COM port n (1..255) lead to device: key COMn of [Porturi] in
// TARVOPROG.INI, every other section, key and comment kept. An empty
// device, control characters (which would break the line into other keys),
// a URL that is not a well-formed tcp:// or rfc2217:// address, or a file
// that exists but cannot be read give false with the reason; the file is
// then left alone. A failed write throws EFileWrite.
bool SavePortDevice(int comNumber, const std::string &device, std::string *reason);
