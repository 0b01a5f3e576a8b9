// Why a network port did not open, in the user's words and naming the
// address: the one place that words these reasons.
#pragma once

#include <string>

enum class TNetFault {
  BadAddress,   // the URL itself is wrong (detail: what)
  UnknownHost,  // the name does not resolve (detail: the host)
  Refused,      // nothing listens at the port
  NoAnswer,     // no connection within the time allowed (detail: its seconds)
  Unreachable,  // no route to it
  Sandbox,      // the process may not open network sockets (a service's sandbox)
  NoRfc2217,    // the server does not take the COM port option (detail: what it did)
  Failed,       // any other OS error
};

// url: the port as written ("tcp://10.0.0.5:4001"); osError: errno or 0.
std::string NetFaultText(TNetFault fault, const std::string &url, int osError, const std::string &detail = "");

// The sandbox's refusal of a socket: what socket() or connect() give under
// a service's RestrictAddressFamilies=, IPAddressDeny= or system-call filter.
bool IsSandboxRefusal(int osError);
