// The link's side of an exchange, on the link's own thread: the transport,
// the silence timer and the receive state. A data frame that completes and
// checks out is kept and acknowledged here, as it completes, and an
// acceptance or a refusal ends a write here: nothing waits for the thread
// that asked for the exchange, which may be held for seconds by a window.
//
// The caller's thread starts an exchange (Start*), then waits for Done; every
// result field is written before Done is set and read only after it.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include <QObject>
#include <QTimer>

#include "ComPort.h"
#include "LinkTrace.h"
#include "Receiver.h"
#include "TextHelpers.h"
#include "TracedTransport.h"
#include "Transport.h"

// Called on the link's thread with each data frame's line before its
// acknowledgement goes out. False (why filled in) ends the read without
// acknowledging that frame, so the register keeps what it sent.
using TLineKeeper = std::function<bool(const std::string &line, std::string &why)>;

class TLinkEngine {
 public:
  TLinkEngine(bool writeMode, int silenceMs);
  ~TLinkEngine();
  TLinkEngine(const TLinkEngine &) = delete;
  TLinkEngine &operator=(const TLinkEngine &) = delete;

  // --- link thread ---
  void Connect(const std::string &port, TBaudRate baud);
  void Disconnect();
  void StartRead(const std::string &command, TLineKeeper keep);
  void StartWrite(const std::string &text);
  void SendOnly(const std::string &text);
  void SetTrace(std::shared_ptr<TLinkTrace> trace);

  // Called once an exchange or a step is over, and after each line taken.
  std::function<void()> Wake;

  // --- results: written on the link thread before Done, read after ---
  std::atomic<bool> Done{true};
  std::atomic<int> LinesTaken{0};
  bool Ok = false;
  std::string Error;             // the link's LastError for this exchange ("" when none)
  int32_t ErrorCode = 0;         // its code (0 when none), and the OS's error number behind it
  int ErrorOs = 0;
  std::exception_ptr PortError;  // a port failure the caller raises again
  TLineList Lines;               // the lines taken by the running or last read
  std::string PortMessage;       // of the last failed Connect
  int OsError = -1;
  std::atomic<bool> Connected{false};
  std::atomic<int> LostError{0};  // > 0 once the line went away, until the next Connect
  const TReceiver &Receiver() const { return FRx; }

 private:
  enum class TExchange { None, Read, Write };
  void Received(const uint8_t *data, size_t size);
  void TakeFrames();
  void LineLost(int osError);
  void SendFrame(const std::string &text);
  void SendAck();
  void TraceTaken();
  void RestartTimeout();
  bool BeginExchange(TExchange kind, const std::string &text);
  void Finish(bool ok);
  void Refuse();
  void FailByPort(std::exception_ptr e);
  void RecordFailure();
  void RecordLineLost();
  void ReleasePort();
  void SetError(int32_t code);
  void ClearError();

  bool FWriteMode;
  QTimer FTimer;
  bool FTimedOut = false;
  TReceiver FRx;
  bool FRxWriteMode = false;
  bool FKeepFailed = false;
  std::string FKeepWhy;
  TExchange FExchange = TExchange::None;
  TLineKeeper FKeep;
  std::unique_ptr<TTracedTransport> FTransport;
  std::string FLostDevice;
  std::shared_ptr<TLinkTrace> FTrace;
};
