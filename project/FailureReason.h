// The line under a failure message, for the shop technician who has to do
// something about it: where (the port and its device, or the address), what
// happened in plain Romanian with what to do, and at the end, in brackets,
// the numbers support asks for (the link's code, the OS's error number):
//
//   COM1 (/dev/ttyUSB0): casa de marcat nu a raspuns 5 secunde; verificati cablul si ca ea este pornita [8000]
//   COM3 (/dev/ttyS2): portul nu exista [8045, errno 2]
//
// Every window, tarvoctl's stderr, the online mode's log and the HTTP
// service's "reason" show this same line; it is worded here only. The
// link's LastError keeps its own texts for the trace and for callers that
// test them.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

class TTARVO;

// What is known of one failure.
struct TFailureFacts {
  // "COM1 (/dev/ttyUSB0)", or the device or address given instead of a COM
  // port; "" leaves the place out.
  std::string Place;
  // A network address rather than a serial device: its own words for a
  // connection that is refused or closed.
  bool Network = false;
  int32_t Code = 0;  // the link's code (8000 and up) or the register's (1..176); 0: none
  int OsError = 0;   // the OS's error number; 0: none
  // What only the machine can add: who holds a port in use, the fix for a
  // missing permission, why a line could not be kept on disk, the port's
  // own text when it gave no error number.
  std::string Detail;
  int SilenceMs = 5000;  // how long "did not answer" waited
};

// The reason line of these facts.
std::string ReasonText(const TFailureFacts &facts);

// Where a link leads, as the reason names it: "COM1 (/dev/ttyUSB0)" for a
// COM port, the device or address alone when it was given instead.
std::string LinkPlace(const TTARVO &link, bool deviceGiven);

// A port that did not open (the link's Connect failed): the OS's error
// says what happened; a port in use names who holds it and a refused one
// says how to get access, as far as this machine tells.
TFailureFacts OpenFailureFacts(const TTARVO &link, const std::string &place);

// An exchange that failed (its LastError is set).
TFailureFacts ExchangeFailureFacts(const TTARVO &link, const std::string &place, int silenceMs);

// The port raised under an exchange: a lost line is said as the link
// recorded it, any other port error with its OS error number.
TFailureFacts PortExceptionFacts(const TTARVO &link, const std::exception &e, const std::string &place,
                                 int silenceMs);

// "tcp://..." and "rfc2217://..." lead to a network address.
bool IsNetworkAddress(const std::string &device);
