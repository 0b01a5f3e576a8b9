// Network ports written as URLs: tcp://HOST:PORT (raw TCP to a serial
// device server) and rfc2217://HOST:PORT (Telnet with the COM port option).
// A COMn key of [Porturi] or --device may hold one instead of a device path.
#pragma once

#include <cstdint>
#include <string>

struct TNetAddress {
  enum TScheme { Tcp, Rfc2217 };
  TScheme Scheme = Tcp;
  std::string Host;  // a name, an IPv4 address, or an IPv6 address without its brackets
  uint16_t Port = 0;
  // "HOST:PORT" ("[::1]:4001"), for messages.
  std::string HostPort() const;
};

// True when text is written as a URL ("scheme://..."), well formed or not:
// such a port is never taken for a device path.
bool IsPortUrl(const std::string &text);

// Parses a tcp:// or rfc2217:// URL (the scheme in any letter case, an
// optional '/' at the end). False with why, in the user's words.
bool ParseNetAddress(const std::string &text, TNetAddress &out, std::string *why);
