// TTARVO: the register link. One object per user action: create it in read or
// write mode, set PortNumber and PortBaud, Connect, run exchanges one after
// the other, destroy it (which closes the port).
//
// The event model. Every link has a thread of its own with its own Qt event
// loop, and the conversation lives there: the transport (the serial port or
// a network connection) hands its bytes to that thread, the silence timer
// runs there, and a data frame that completes and checks out is kept (and
// given to the caller's keeper, which may write it to disk) and acknowledged
// there, as it completes; an acceptance or a refusal ends a write there too.
// The calling thread (a window's, the command line's, a service worker's)
// only starts an exchange and waits for its end by processing its own
// events, so windows stay live; a modal dialog, a slow repaint or a thread
// busy for seconds delays what the caller sees, never what the register
// gets, and the five seconds measure the register's silence alone. Exchanges
// are synchronous for the caller and strictly one after the other.
//
// Failures are recorded in LastError; port errors during an exchange
// propagate as exceptions after the error has been recorded. A line that
// goes away (an unplugged adapter, a hang-up, a closed connection) is not a
// silent register: the exchange ends at once with 8050, naming the device
// and the OS error, and the port is released so that the device can be
// opened again by the next Connect once it is back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ComPort.h"
#include "LinkEngine.h"
#include "ErrorTexts.h"
#include "Frame.h"
#include "LinkTrace.h"
#include "Receiver.h"
#include "RecordText.h"
#include "Records.h"
#include "TextHelpers.h"

class TTARVO {
 public:
  // silenceMs: the silence time-out, 5000 ms in the program; tests shorten it.
  explicit TTARVO(bool writeMode, int silenceMs = 5000);
  ~TTARVO();
  TTARVO(const TTARVO &) = delete;
  TTARVO &operator=(const TTARVO &) = delete;

  // Opens the port; false (error 8045) when it cannot be opened, never raises.
  // After the line was lost it opens the device afresh.
  bool Connect();
  void Disconnect();
  // Read exchange: one line per data frame, appended to lines, until the
  // final frame (true) or silence (false, 8000). A data frame counts once it
  // is acknowledged; keep, when given, has it first (on the link's thread),
  // and a line it cannot keep ends the read unacknowledged (8052).
  bool ReadLines(const std::string &command, TLineList &lines, const TLineKeeper &keep = {});
  // Called on the caller's thread while a read waits, with the number of
  // lines taken so far, whenever it grew.
  std::function<void(int lines)> OnLines;
  // Write exchange with the text of a record; kinds without a text fail (8049).
  bool SendRecord(int kind, const void *rec);
  // Write exchange with a raw command text: true when the register answered
  // with an acknowledgement frame. A refusal (a frame with a good CRC that
  // starts with NAK) ends it at once with the register's code in LastError;
  // any other answer waits for silence (8000).
  bool SendText(const std::string &text);
  // Send-only exchange: true once the frame is written; no answer awaited.
  // Its failures are exceptions from the port (a lost line also records 8050).
  bool SendCommand(const std::string &text);
  const std::string &LastError() const { return FLastError; }
  // The code LastError was made from (8000, 8050, the register's 136...;
  // 0 before any failure) and the OS's error number behind it (the open's
  // errno for 8045, the lost line's for 8050; 0 when none): what a reason
  // for the user is worded from, while LastError keeps the link's texts.
  int32_t LastErrorCode() const { return FLastCode; }
  int LastErrorOs() const { return FLastOs; }
  void SetError(int32_t code);
  // The same, with a detail after the code's text: "8050;<text>: <detail>".
  void SetError(int32_t code, const std::string &detail);

  // Every frame both ways goes to the trace; null: none. The link shares
  // the trace, so one trace can follow several links.
  void SetTrace(std::shared_ptr<TLinkTrace> trace);

  uint8_t PortNumber = 1;
  TBaudRate PortBaud = br57600;
  // When not empty, Connect opens this device instead of "COM" + PortNumber.
  std::string DevicePath;

  bool WriteMode() const { return FWriteMode; }
  bool Connected() const;
  // True while an exchange is waiting for the register. An exchange asked for
  // meanwhile (from a window event handled inside the wait) is refused with
  // error 8048 instead of nesting.
  bool Busy() const { return FBusy; }
  // The port's own message and OS error code of the last failed Connect
  // ("Unable to open com port (Error: 13)", 13), for a caller that explains
  // to the user what to do; "" and -1 when Connect has not failed.
  const std::string &LastPortMessage() const { return FPortMessage; }
  int LastOsError() const { return FOsError; }
  // The receive state of the last exchange (not while one runs).
  const TReceiver &Receiver() const;
  // True once the line went away, until the next Connect. Exchanges then
  // fail at once with 8050 (ReadLines, SendText) or raise (SendCommand:
  // the port was released).
  bool LineLost() const;

 private:
  struct Impl;
  bool Begin();
  void RunOnLink(const std::function<void(TLinkEngine &)> &start);
  void TakeResult();

  bool FWriteMode;
  bool FBusy = false;
  std::string FLastError;
  int32_t FLastCode = 0;
  int FLastOs = 0;
  std::string FPortMessage;
  int FOsError = -1;
  std::unique_ptr<Impl> FImpl;
};
