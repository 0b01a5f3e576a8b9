// A TCP connection to a serial device server, as the register's line needs
// it: connected within a bounded time, and tuned so that the small frames of
// the link are neither held back by Nagle's algorithm here nor by a delayed
// acknowledgement meeting Nagle's algorithm of a server left at its defaults.
#pragma once

#include <string>

#include "NetAddress.h"

// The longest a connection (name look-up included) may take.
inline constexpr int ConnectTimeoutMs = 5000;

// Connects to address within timeoutMs and returns the non-blocking socket
// with its options set (no delay, quick acknowledgements, keep-alive with
// short probes and a two-second limit on unacknowledged data). Throws
// ETransport with the reason, naming url.
int ConnectTcp(const TNetAddress &address, const std::string &url, int timeoutMs = ConnectTimeoutMs);

// Linux drops quick-acknowledgement mode on its own after a while; asked for
// again after every receive, the register's next frame is acknowledged at
// once instead of after up to 40 ms.
void RearmQuickAck(int fd);

// For a quick look (tarvoctl ports): "" when a server accepts a connection at
// url within timeoutMs, else why not. The connection is closed at once.
std::string ProbeTcp(const std::string &url, int timeoutMs);
