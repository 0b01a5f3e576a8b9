// The transport a port name leads to: tcp://HOST:PORT and rfc2217://HOST:PORT
// a serial device server, memory://NAME a line in this process, "COMn"
// (through the port map) or a device path a serial port.
#pragma once

#include <memory>
#include <string>

#include "Transport.h"

// Throws ETransport for a URL that is not well formed.
std::unique_ptr<TTransport> TransportFor(const std::string &port);
