// The serial port component's failures: fixed error numbers and texts that
// callers and users see, so they never change; rows that nothing raises
// keep theirs. Portable.
#pragma once

#include <stdexcept>

enum : int {
  CE_OpenFailed = 1, CE_WriteFailed = 2, CE_ReadFailed = 3, CE_InvalidAsync = 4,
  CE_PurgeFailed = 5, CE_AsyncCheck = 6, CE_SetState = 7, CE_SetTimeouts = 8,
  CE_SetupCom = 9, CE_ClearCom = 10, CE_ModemStat = 11, CE_Escape = 12,
  CE_TransmitChar = 13, CE_ConnChangeProp = 14, CE_EnumPorts = 15, CE_StoreFailed = 16,
  CE_LoadFailed = 17, CE_RegFailed = 18, CE_LedStateFailed = 19, CE_ThreadCreated = 20,
  CE_WaitFailed = 21, CE_HasLink = 22, CE_RegError = 23, CE_PortNotOpen = 24
};

// Text of an error number (1..24); "" for any other number.
const char *ComErrorText(int code);

class EComPort : public std::runtime_error {
 public:
  // SystemError -1: no OS code; a code > 0 is appended as " (Error: %d)".
  EComPort(int errorCode, int systemError = -1);
  int ErrorCode;
  int SystemError;
};

// An OS error of a read or write that means the device itself is gone
// (unplugged, hung up, removed), not that one transfer failed. Each OS half
// knows its own numbers.
bool IsLineGoneError(int osError);
