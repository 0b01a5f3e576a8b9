// rfc2217://HOST:PORT: the register's line through a device server that
// speaks Telnet with the COM port option (RFC 2217). On opening, the far
// end's line is set as a local port would be: the project's speed, 8 data
// bits, no parity, one stop bit, no flow control, DTR on and RTS off; the
// server confirms the speed before the first frame goes. Data is carried in
// Telnet binary mode with 0xFF (IAC) doubled both ways: register texts in
// Windows-1250 can hold that byte.
#pragma once

#include <cstdint>
#include <set>

#include "TcpTransport.h"
#include "TelnetCodec.h"

class TRfc2217Transport : public TTcpTransport {
 public:
  using TTcpTransport::TTcpTransport;

 protected:
  void Negotiate(TBaudRate baud, TClock::time_point deadline) override;
  void Incoming(const uint8_t *data, size_t size) override;
  std::string Outgoing(const void *data, size_t size) override;

 private:
  void Answer(const Telnet::TCommand &c);
  void SendSettings();
  void Offer(uint8_t verb, uint8_t option);
  // What a server that closed at once still had to say (bounded).
  std::string LastWords(TClock::time_point deadline);

  Telnet::TDecoder FDecoder;
  uint32_t FBaud = 0;
  bool FComPortAgreed = false;
  bool FComPortRefused = false;
  bool FBaudConfirmed = false;
  uint32_t FBaudAnswer = 0;
  // What this side already said, so that no option is negotiated in a loop.
  std::set<std::pair<uint8_t, uint8_t>> FSaid;
};
