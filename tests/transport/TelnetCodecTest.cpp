// Telnet as a carrier of the register's bytes: whatever way the server's
// bytes are cut into chunks, data comes out whole and no command byte
// leaks into it; and the URLs a port may be written as.
#include <gtest/gtest.h>

#include "NetAddress.h"
#include "TelnetCodec.h"

using namespace Telnet;

namespace {

std::string B(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += char(b);
  return s;
}

}  // namespace

TEST(TelnetCodec, DataAndCommandsSplitAtEveryChunkBoundary) {
  // Data "A" FF "B", the server's negotiation, a COM port answer holding an
  // escaped FF, a NOP, and data "C" FF.
  const std::string wire = B({'A', 255, 255, 'B', 255, 251, 1, 255, 253, 44, 255, 250, 44, 101, 0, 0, 255, 255,
                              0, 255, 240, 255, 241, 'C', 255, 255});
  for (size_t cut = 0; cut <= wire.size(); ++cut) {
    SCOPED_TRACE(cut);
    TDecoder d;
    std::string data;
    std::vector<TCommand> commands;
    d.Feed(reinterpret_cast<const uint8_t *>(wire.data()), cut, data, commands);
    d.Feed(reinterpret_cast<const uint8_t *>(wire.data()) + cut, wire.size() - cut, data, commands);
    EXPECT_EQ(data, B({'A', 255, 'B', 'C', 255}));
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].Verb, WILL);
    EXPECT_EQ(commands[0].Option, 1);
    EXPECT_EQ(commands[1].Verb, DO);
    EXPECT_EQ(commands[1].Option, ComPort);
    EXPECT_EQ(commands[2].Verb, SB);
    EXPECT_EQ(commands[2].Payload, B({101, 0, 0, 255, 0}));
  }
  EXPECT_EQ(Escape("\xFF" "a\xFF", 3), B({255, 255, 'a', 255, 255}));
  EXPECT_EQ(Subnegotiation(ComPort, B({1, 0, 0, 255, 0})), B({255, 250, 44, 1, 0, 0, 255, 255, 0, 255, 240}));
}

TEST(TelnetCodec, AnEndlessSubnegotiationHoldsABoundedBuffer) {
  TDecoder d;
  std::string data;
  std::vector<TCommand> commands;
  const std::string head = B({255, 250, 44});
  d.Feed(reinterpret_cast<const uint8_t *>(head.data()), head.size(), data, commands);
  const std::string junk(100000, 'x');
  d.Feed(reinterpret_cast<const uint8_t *>(junk.data()), junk.size(), data, commands);
  const std::string tail = B({255, 240, 'D'});
  d.Feed(reinterpret_cast<const uint8_t *>(tail.data()), tail.size(), data, commands);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].Payload.size(), TDecoder::MaxPayload);
  EXPECT_EQ(data, "D");
}

TEST(NetAddress, WhatAPortMayBeWrittenAs) {
  struct TCase {
    const char *Text;
    bool Ok;
    TNetAddress::TScheme Scheme;
    const char *HostPort;
  };
  const TCase cases[] = {
      {"tcp://10.0.0.5:4001", true, TNetAddress::Tcp, "10.0.0.5:4001"},
      {"RFC2217://casa.local:2217/", true, TNetAddress::Rfc2217, "casa.local:2217"},
      {"tcp://[::1]:4001", true, TNetAddress::Tcp, "[::1]:4001"},
      {"tcp://host:0", false, {}, ""},
      {"tcp://host:65536", false, {}, ""},
      {"tcp://host:40a1", false, {}, ""},
      {"tcp://host", false, {}, ""},
      {"tcp://ho st:1", false, {}, ""},
      {"tcp://host:1/x", false, {}, ""},
      {"ssh://host:22", false, {}, ""},
  };
  for (const TCase &c : cases) {
    TNetAddress a;
    std::string why;
    EXPECT_EQ(ParseNetAddress(c.Text, a, &why), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(a.Scheme, c.Scheme) << c.Text;
      EXPECT_EQ(a.HostPort(), c.HostPort) << c.Text;
    } else {
      EXPECT_FALSE(why.empty()) << c.Text;
    }
  }
  EXPECT_TRUE(IsPortUrl("tcp://x"));
  EXPECT_FALSE(IsPortUrl("/dev/ttyUSB0"));
  EXPECT_FALSE(IsPortUrl("sim-COM1"));
  EXPECT_FALSE(IsPortUrl("/tmp/a://b"));
}
