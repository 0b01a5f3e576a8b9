#include "Rfc2217Transport.h"

#include <algorithm>
#include <chrono>

#include "ComTypes.h"
#include "NetFault.h"

using namespace Telnet;

namespace {

// Client commands of the COM port option; the server answers each with the
// same number plus 100.
constexpr uint8_t SetBaudRate = 1, SetDataSize = 2, SetParity = 3, SetStopSize = 4, SetControl = 5;
constexpr uint8_t ServerOffset = 100;
constexpr uint8_t ParityNone = 1, StopOne = 1;
constexpr uint8_t NoFlowOut = 1, NoFlowIn = 14, DtrOn = 8, RtsOff = 12;

// The options this side takes, either way.
bool Wanted(uint8_t option) { return option == Binary || option == SuppressGoAhead || option == ComPort; }

}  // namespace

void TRfc2217Transport::Offer(uint8_t verb, uint8_t option) {
  if (!FSaid.insert({verb, option}).second) return;
  SendRaw(Command(verb, option));
}

void TRfc2217Transport::Negotiate(TBaudRate baud, TClock::time_point deadline) {
  FBaud = uint32_t(BaudRateValue(baud));
  FDecoder = TDecoder();
  FSaid.clear();
  FComPortAgreed = FComPortRefused = FBaudConfirmed = false;
  try {
    // Binary both ways: no end-of-line translation of the register's bytes.
    Offer(WILL, Binary);
    Offer(DO, Binary);
    Offer(WILL, SuppressGoAhead);
    Offer(DO, SuppressGoAhead);
    Offer(WILL, ComPort);
  } catch (const ETransport &) {
    // A server whose line another client holds says so and closes before
    // the options are through: its words, not the broken pipe, say why.
    throw ETransport(ClosedAtOpening(LastWords(deadline)));
  }

  uint8_t chunk[1024];
  std::string said;  // bytes before the line is set are not the register's answer
  // The server applies what it is sent in order, so once it has confirmed
  // the speed the rest is applied before the first frame; the answers to
  // the rest need not be awaited (some servers give none for DTR and RTS on
  // a line without modem lines).
  while (!(FComPortAgreed && FBaudConfirmed)) {
    if (FComPortRefused) throw ETransport(NetFaultText(TNetFault::NoRfc2217, Url(), 0, "refuza COM-PORT-OPTION"));
    const size_t n = ReceiveRaw(chunk, sizeof chunk, deadline);
    if (Gone()) throw ETransport(ClosedAtOpening(said));
    if (n == 0)
      throw ETransport(NetFaultText(TNetFault::NoRfc2217, Url(), 0,
                                    FComPortAgreed ? "nu a confirmat viteza liniei"
                                                   : "nu a raspuns la COM-PORT-OPTION in 3 secunde"));
    std::vector<TCommand> commands;
    if (said.size() > 200) said.clear();
    FDecoder.Feed(chunk, n, said, commands);
    try {
      for (const TCommand &c : commands) Answer(c);
    } catch (const ETransport &) {
      // The server went while this side answered: what it said says why.
      throw ETransport(ClosedAtOpening(said));
    }
  }
  if (FBaudAnswer != 0 && FBaudAnswer != FBaud)
    throw ETransport(NetFaultText(TNetFault::NoRfc2217, Url(), 0,
                                  "a pus viteza " + std::to_string(FBaudAnswer) + " in loc de " +
                                      std::to_string(FBaud)));
}

std::string TRfc2217Transport::LastWords(TClock::time_point deadline) {
  const TClock::time_point until = std::min(deadline, TClock::now() + std::chrono::milliseconds(300));
  std::string said;
  uint8_t chunk[256];
  while (said.size() < 200) {
    size_t n = 0;
    try {
      n = ReceiveRaw(chunk, sizeof chunk, until);
    } catch (const ETransport &) {
      break;
    }
    if (n == 0) break;
    // The server's Telnet options may come before its words.
    std::vector<TCommand> ignored;
    FDecoder.Feed(chunk, n, said, ignored);
  }
  return said;
}

void TRfc2217Transport::SendSettings() {
  const std::string baud{char(FBaud >> 24), char(FBaud >> 16), char(FBaud >> 8), char(FBaud)};
  std::string out = Subnegotiation(ComPort, char(SetBaudRate) + baud);
  out += Subnegotiation(ComPort, {char(SetDataSize), 8});
  out += Subnegotiation(ComPort, {char(SetParity), char(ParityNone)});
  out += Subnegotiation(ComPort, {char(SetStopSize), char(StopOne)});
  for (uint8_t control : {NoFlowOut, NoFlowIn, DtrOn, RtsOff})
    out += Subnegotiation(ComPort, {char(SetControl), char(control)});
  SendRaw(out);
}

void TRfc2217Transport::Answer(const TCommand &c) {
  switch (c.Verb) {
    case DO:
      if (c.Option == ComPort && !FComPortAgreed) {
        FComPortAgreed = true;
        SendSettings();
      }
      Offer(Wanted(c.Option) ? WILL : WONT, c.Option);
      break;
    case WILL:
      Offer(Wanted(c.Option) ? DO : DONT, c.Option);
      break;
    case DONT:
      if (c.Option == ComPort) FComPortRefused = true;
      break;
    case SB: {
      if (c.Option != ComPort || c.Payload.empty()) break;
      const uint8_t code = uint8_t(c.Payload[0]);
      if (code == ServerOffset + SetBaudRate && c.Payload.size() >= 5) {
        FBaudConfirmed = true;
        FBaudAnswer = 0;
        for (int i = 1; i <= 4; ++i) FBaudAnswer = (FBaudAnswer << 8) | uint8_t(c.Payload[size_t(i)]);
      }
      break;  // the other answers, line and modem state notices: of no use to the link
    }
    default:
      break;
  }
}

void TRfc2217Transport::Incoming(const uint8_t *data, size_t size) {
  std::string bytes;
  std::vector<TCommand> commands;
  FDecoder.Feed(data, size, bytes, commands);
  try {
    for (const TCommand &c : commands) Answer(c);
  } catch (const ETransport &) {
    // A reply that cannot go: the connection's loss shows on the next read.
  }
  if (!bytes.empty() && OnReceived) OnReceived(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
}

std::string TRfc2217Transport::Outgoing(const void *data, size_t size) { return Escape(data, size); }
