#include "TransportFor.h"

#include "MemoryTransport.h"
#include "NetAddress.h"
#include "NetFault.h"
#include "Rfc2217Transport.h"
#include "SerialTransport.h"

std::unique_ptr<TTransport> TransportFor(const std::string &port) {
  if (!IsPortUrl(port)) return std::make_unique<TSerialTransport>(port);
  if (port.rfind("memory://", 0) == 0) return std::make_unique<TMemoryTransport>(port);
  TNetAddress address;
  std::string why;
  if (!ParseNetAddress(port, address, &why)) throw ETransport(NetFaultText(TNetFault::BadAddress, port, 0, why));
  if (address.Scheme == TNetAddress::Rfc2217) return std::make_unique<TRfc2217Transport>(port, address);
  return std::make_unique<TTcpTransport>(port, address);
}
