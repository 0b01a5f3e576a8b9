// The byte pipe under the register link. The link frames, acknowledges and
// times its exchanges; a transport only carries bytes: a serial port, a TCP
// connection to a serial device server, or an in-memory pair for tests.
//
// A transport lives on one thread (the link's): it is opened, written and
// closed there, and it calls OnReceived and OnLineLost there, one at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "ComError.h"
#include "ComTypes.h"

// A transport that could not be opened or failed under a transfer, with
// the OS error number when there is one (-1 otherwise). The serial port
// raises the component's own EComPort instead, which carries the same.
class ETransport : public std::runtime_error {
 public:
  ETransport(const std::string &message, int osError = -1) : std::runtime_error(message), OsError(osError) {}
  int OsError;
};

class TTransport {
 public:
  virtual ~TTransport() = default;

  // Opens the line at baud bit/s, 8 data bits, no parity, one stop bit, no
  // flow control, DTR on and RTS off. Throws EComPort or ETransport.
  virtual void Open(TBaudRate baud) = 0;
  // Closes; never throws. Closing a closed transport does nothing.
  virtual void Close() = 0;
  virtual bool Connected() const = 0;
  // Writes every byte or throws.
  virtual void Write(const void *data, size_t size) = 0;
  // Where it leads: a device path or an address, for messages.
  virtual std::string Name() const = 0;

  // Bytes as they came off the line.
  std::function<void(const uint8_t *data, size_t size)> OnReceived;
  // The line went away under the open transport (a pulled adapter, a hang-up,
  // a server that closed the connection): said once per opening, after the
  // bytes that came before it. osError is what transfers give from then on.
  std::function<void(int osError)> OnLineLost;
};

// The OS error a transport failure carries, -1 when none.
int TransportOsError(const std::exception &e);

// True when a failed transfer means the line itself is gone rather than one
// transfer failing.
bool IsTransportGone(const std::exception &e);
