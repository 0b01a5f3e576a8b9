// Telnet as a carrier of binary data: the byte 0xFF (IAC) is doubled on the
// way out, and what the server sends is split into data and commands
// (option negotiation, subnegotiations, the one-byte commands), so that no
// command byte ever reaches the link as data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Telnet {
constexpr uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
constexpr uint8_t Binary = 0, SuppressGoAhead = 3, ComPort = 44;

// The bytes with every IAC doubled.
std::string Escape(const void *data, size_t size);
// IAC verb option.
std::string Command(uint8_t verb, uint8_t option);
// IAC SB option payload (escaped) IAC SE.
std::string Subnegotiation(uint8_t option, const std::string &payload);

struct TCommand {
  uint8_t Verb = 0;     // DO, DONT, WILL, WONT or SB
  uint8_t Option = 0;
  std::string Payload;  // SB only, unescaped
};

class TDecoder {
 public:
  // A subnegotiation longer than this is cut there (the rest is dropped):
  // a server cannot make the decoder hold an unbounded buffer.
  static constexpr size_t MaxPayload = 256;

  // Appends the data bytes of the chunk to data and the commands that
  // complete in it to commands; a command split across chunks completes in
  // a later one.
  void Feed(const uint8_t *bytes, size_t size, std::string &data, std::vector<TCommand> &commands);

 private:
  enum TState { Data, Iac, Verb, SbOption, SbData, SbIac };
  TState FState = Data;
  TCommand FCommand;
};
}  // namespace Telnet
