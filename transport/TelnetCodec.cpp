#include "TelnetCodec.h"

namespace Telnet {

std::string Escape(const void *data, size_t size) {
  const auto *bytes = static_cast<const uint8_t *>(data);
  std::string out;
  out.reserve(size + 8);
  for (size_t i = 0; i < size; ++i) {
    out += char(bytes[i]);
    if (bytes[i] == IAC) out += char(IAC);
  }
  return out;
}

std::string Command(uint8_t verb, uint8_t option) {
  return {char(IAC), char(verb), char(option)};
}

std::string Subnegotiation(uint8_t option, const std::string &payload) {
  return std::string{char(IAC), char(SB), char(option)} + Escape(payload.data(), payload.size()) +
         std::string{char(IAC), char(SE)};
}

void TDecoder::Feed(const uint8_t *bytes, size_t size, std::string &data, std::vector<TCommand> &commands) {
  for (size_t i = 0; i < size; ++i) {
    const uint8_t b = bytes[i];
    switch (FState) {
      case Data:
        if (b == IAC)
          FState = Iac;
        else
          data += char(b);
        break;
      case Iac:
        if (b == IAC) {
          data += char(IAC);
          FState = Data;
        } else if (b == DO || b == DONT || b == WILL || b == WONT) {
          FCommand = TCommand{b, 0, {}};
          FState = Verb;
        } else if (b == SB) {
          FCommand = TCommand{SB, 0, {}};
          FState = SbOption;
        } else {
          FState = Data;  // NOP, GA, AYT, a stray SE...: nothing for the link
        }
        break;
      case Verb:
        FCommand.Option = b;
        commands.push_back(FCommand);
        FState = Data;
        break;
      case SbOption:
        FCommand.Option = b;
        FState = SbData;
        break;
      case SbData:
        if (b == IAC)
          FState = SbIac;
        else if (FCommand.Payload.size() < MaxPayload)
          FCommand.Payload += char(b);
        break;
      case SbIac:
        if (b == SE) {
          commands.push_back(FCommand);
          FState = Data;
        } else {
          // IAC IAC is a payload 0xFF; anything else is malformed and taken
          // the same way, so the subnegotiation still ends at its IAC SE.
          if (FCommand.Payload.size() < MaxPayload) FCommand.Payload += char(b);
          FState = SbData;
        }
        break;
    }
  }
}

}  // namespace Telnet
