#include "TransportFor.h"

#include "SerialTransport.h"

std::unique_ptr<TTransport> TransportFor(const std::string &port) {
  return std::make_unique<TSerialTransport>(port);
}
