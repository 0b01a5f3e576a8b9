// EComPort and the fixed error texts. The numbers and texts are what callers
// and users see, so they never change; rows that nothing raises keep theirs.
#include "ComError.h"

#include <cstdio>
#include <string>

namespace {

const char *const ErrorTexts[] = {
    "Unable to open com port",                          // 1
    "WriteFile function failed",                        // 2
    "ReadFile function failed",                         // 3
    "Invalid Async parameter",                          // 4
    "PurgeComm function failed",                        // 5
    "Unable to get async status",                       // 6
    "SetCommState function failed",                     // 7
    "SetCommTimeouts failed",                           // 8
    "SetupComm function failed",                        // 9
    "ClearCommError function failed",                   // 10
    "GetCommModemStatus function failed",               // 11
    "EscapeCommFunction function failed",               // 12
    "TransmitCommChar function failed",                 // 13
    "Cannot set property while connected",              // 14
    "EnumPorts function failed",                        // 15
    "Failed to store settings",                         // 16
    "Failed to load settings",                          // 17
    "Link (un)registration failed",                     // 18
    "Cannot change led state if ComPort is selected",   // 19
    "Cannot wait for event if event thread is created", // 20
    "WaitForEvent method failed",                       // 21
    "A component is linked to OnRxBuf event",           // 22
    "Registry error",                                   // 23
    "Port Not Open",                                    // 24
};

std::string ComposeMessage(int errorCode, int systemError) {
  std::string text = ComErrorText(errorCode);
  if (systemError > 0) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " (Error: %d)", systemError);
    text += suffix;
  }
  return text;
}

}  // namespace

const char *ComErrorText(int code) {
  if (code < 1 || code > int(sizeof ErrorTexts / sizeof ErrorTexts[0])) return "";
  return ErrorTexts[code - 1];
}

EComPort::EComPort(int errorCode, int systemError)
    : std::runtime_error(ComposeMessage(errorCode, systemError)),
      ErrorCode(errorCode),
      SystemError(systemError) {}
