// The transport a port name leads to: "COMn" (through the port map) or a
// device path is a serial port.
#pragma once

#include <memory>
#include <string>

#include "Transport.h"

std::unique_ptr<TTransport> TransportFor(const std::string &port);
