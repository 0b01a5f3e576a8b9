// TTARVO: the register link. One object per user action: create it in read or
// write mode, set PortNumber and PortBaud, Connect, run exchanges one after
// the other, destroy it (which closes the port).
//
// Exchanges wait for the register by processing Qt events on the calling
// (GUI) thread, so windows stay live and nothing spins while the line is
// silent. Failures are recorded in LastError; port errors during a write
// propagate as EComPort after the error has been recorded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ComPort.h"
#include "Frame.h"
#include "Records.h"

class QTimer;

using TLineList = std::vector<std::string>;

// Link error codes beyond the register's own (1..176).
enum : int32_t {
  LE_TimeOut = 8000,
  LE_Nak = 8003,
  LE_TextTooLong = 8004,
  LE_OpenPort = 8045,
};

// Error text for a code, exactly as LastError shows it.
std::string ErrorText(int32_t code);

// Appends the fields of text split at separator (see the implementation for
// the exact rules: empty text adds nothing, a trailing separator adds "").
void SplitText(const std::string &text, char separator, TLineList &lines);
std::string PadLeft(const std::string &text, int width, char ch);
double RoundHalfAway(double x);

// Record texts of kinds 0..4 and 6..8; kind 5 and unknown kinds give "".
std::string BuildRecordText(int kind, const void *rec);

class TTARVO {
 public:
  // silenceMs: the silence time-out, 5000 ms in the program; tests shorten it.
  explicit TTARVO(bool writeMode, int silenceMs = 5000);
  ~TTARVO();
  TTARVO(const TTARVO &) = delete;
  TTARVO &operator=(const TTARVO &) = delete;

  bool Connect();
  void Disconnect();
  bool ReadLines(const std::string &command, TLineList &lines);
  bool SendRecord(int kind, const void *rec);
  bool SendCommand(const std::string &text);
  const std::string &LastError() const { return FLastError; }
  void SetError(int32_t code);

  uint8_t PortNumber = 1;
  TBaudRate PortBaud = br57600;

  bool WriteMode() const { return FWriteMode; }
  TComPort &ComPort() { return *FComPort; }
  // True while an exchange is waiting for the register: callers refuse to
  // start a second one on the same link.
  bool Busy() const { return FBusy; }

 private:
  // see TarvoCore.cpp
  struct Impl;
  bool FWriteMode;
  bool FBusy = false;
  std::string FLastError;
  std::unique_ptr<TComPort> FComPort;
  std::unique_ptr<Impl> FImpl;
};
