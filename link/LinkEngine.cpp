#include "LinkEngine.h"

#include <cerrno>

#include "ErrorTexts.h"
#include "Frame.h"
#include "TransportFor.h"

using namespace Frame;

TLinkEngine::TLinkEngine(bool writeMode, int silenceMs) : FWriteMode(writeMode), FRxWriteMode(writeMode) {
  // Precise: a coarse timer may fire 5 % early, and the silence is a promise
  // to the register, not an estimate.
  FTimer.setTimerType(Qt::PreciseTimer);
  FTimer.setSingleShot(true);
  FTimer.setInterval(silenceMs > 0 ? silenceMs : 5000);
  QObject::connect(&FTimer, &QTimer::timeout, [this] {
    FTimedOut = true;
    if (FExchange != TExchange::None) Finish(false);
  });
}

TLinkEngine::~TLinkEngine() { ReleasePort(); }

void TLinkEngine::SetError(int32_t code) {
  Error = ErrorMessage(code);
  ErrorCode = code;
  ErrorOs = 0;
}

void TLinkEngine::ClearError() {
  Error.clear();
  ErrorCode = 0;
  ErrorOs = 0;
}

void TLinkEngine::Connect(const std::string &port, TBaudRate baud) {
  ClearError();
  PortMessage.clear();
  OsError = -1;
  if (LostError || !FTransport || FTransport->Name() != port) {
    // Opened afresh: after a loss the device may be back under its name.
    ReleasePort();
    FTransport.reset();
    LostError = 0;
    FLostDevice.clear();
  }
  try {
    if (!FTransport) {
      FTransport = std::make_unique<TTracedTransport>(TransportFor(port));
      FTransport->SetTrace(FTrace);
      FTransport->OnReceived = [this](const uint8_t *data, size_t size) { Received(data, size); };
      FTransport->OnLineLost = [this](int osError) { LineLost(osError); };
    }
    if (!FTransport->Connected()) FTransport->Open(baud);
  } catch (const std::exception &e) {
    PortMessage = e.what();
    OsError = TransportOsError(e);
    SetError(LE_OpenPort);
    ErrorOs = OsError > 0 ? OsError : 0;
  }
  Connected = FTransport && FTransport->Connected();
}

void TLinkEngine::Disconnect() { ReleasePort(); }

// A device that went away may come back under the same name (a replugged
// adapter); holding its dead descriptor would keep the name taken.
void TLinkEngine::ReleasePort() {
  if (FTransport) FTransport->Close();
  Connected = false;
}

void TLinkEngine::RestartTimeout() {
  FTimedOut = false;
  FTimer.start();
}

void TLinkEngine::SetTrace(std::shared_ptr<TLinkTrace> trace) {
  FTrace = std::move(trace);
  if (FTransport) FTransport->SetTrace(FTrace);
}

// A whole frame the link took from the register; what the link sends is
// traced where it is written (TTracedTransport).
void TLinkEngine::TraceTaken() {
  if (FTrace) FTrace->Received({reinterpret_cast<const char *>(FRx.RxBuffer), size_t(FRx.RxCount)});
}

bool TLinkEngine::BeginExchange(TExchange kind, const std::string &text) {
  Ok = false;
  ClearError();
  PortError = nullptr;
  if (kind == TExchange::Read) {
    Lines.clear();
    LinesTaken = 0;
  }
  if (LostError) {
    RecordLineLost();  // the same reason again; nothing is sent
    if (FTrace) FTrace->Note(Error);
    return false;
  }
  if (text.size() > MaxCommandText) {
    SetError(LE_TextTooLong);
    return false;
  }
  // Requests are not escaped: a DLE inside the text (a name typed or
  // imported with that byte) would end the frame early, and the register
  // would ignore it and leave us waiting for the silence. Refused at once.
  if (text.find(char(DLE)) != std::string::npos) {
    SetError(LE_DleInText);
    return false;
  }
  FExchange = kind;
  FKeepFailed = false;
  FRxWriteMode = kind == TExchange::Write;
  return true;
}

void TLinkEngine::SendFrame(const std::string &text) {
  const std::string frame = EncodeRequest(text);
  RestartTimeout();
  FRx.Reset();
  if (!FTransport) throw EComPort(CE_PortNotOpen);
  FTransport->Write(frame.data(), frame.size());
}

void TLinkEngine::SendAck() {
  FTransport->Write(AckFrame().data(), AckFrame().size());
}

// An exchange refused before anything was sent: its error is set already.
void TLinkEngine::Refuse() {
  Ok = false;
  Done.store(true, std::memory_order_release);
  if (Wake) Wake();
}

void TLinkEngine::StartRead(const std::string &command, TLineKeeper keep) {
  if (!BeginExchange(TExchange::Read, command)) return Refuse();
  FKeep = std::move(keep);
  try {
    SendFrame(command);
  } catch (...) {
    FailByPort(std::current_exception());
  }
}

void TLinkEngine::StartWrite(const std::string &text) {
  if (!BeginExchange(TExchange::Write, text)) return Refuse();
  try {
    SendFrame(text);
  } catch (...) {
    FailByPort(std::current_exception());
  }
}

void TLinkEngine::SendOnly(const std::string &text) {
  Ok = false;
  ClearError();
  PortError = nullptr;
  if (LostError) {
    // A command that cannot go fails by an exception (callers need not
    // check its result): the port was released, and the error says why.
    RecordLineLost();
    PortError = std::make_exception_ptr(EComPort(CE_PortNotOpen));
    return Refuse();
  }
  if (text.size() > MaxCommandText) {
    SetError(LE_TextTooLong);
    return Refuse();
  }
  if (text.find(char(DLE)) != std::string::npos) {
    SetError(LE_DleInText);
    return Refuse();
  }
  FRxWriteMode = FWriteMode;
  try {
    SendFrame(text);
    Ok = true;
  } catch (const std::exception &e) {
    // Only a lost line is recorded; the exception goes on either way.
    if (IsTransportGone(e)) {
      LineLost(TransportOsError(e));
      RecordLineLost();
    }
    PortError = std::current_exception();
  } catch (...) {
    PortError = std::current_exception();
  }
  FTimer.stop();
  if (LostError) ReleasePort();
  Done.store(true, std::memory_order_release);
  if (Wake) Wake();
}

void TLinkEngine::Received(const uint8_t *data, size_t size) {
  // Nothing is waiting for these bytes: a late answer or line noise.
  if (FExchange == TExchange::None) return;
  FRx.Feed(data, size, FRxWriteMode);
  RestartTimeout();
  try {
    TakeFrames();
  } catch (...) {
    FailByPort(std::current_exception());
  }
}

// Takes every complete frame the receiver holds: a read acknowledges each
// data frame at once, after its line is kept; a write ends on its
// acceptance or refusal.
void TLinkEngine::TakeFrames() {
  while (FExchange != TExchange::None) {
    if (FRx.Overflow) return Finish(false);
    if (FExchange == TExchange::Write) {
      if (!FRx.FrameReady && !FRx.Refused) return;
      TraceTaken();
      return Finish(FRx.FrameReady);  // FrameReady only for a frame holding 10 02 06
    }
    if (!FRx.FrameReady) return;
    TraceTaken();
    if (FRx.Final()) return Finish(true);
    std::string line = FRx.AnswerText();
    if (FKeep && !FKeep(line, FKeepWhy)) {
      // Not kept, so not acknowledged: the register still holds it.
      FKeepFailed = true;
      return Finish(false);
    }
    SendAck();
    RestartTimeout();
    Lines.push_back(std::move(line));
    LinesTaken.store(int(Lines.size()), std::memory_order_release);
    if (Wake) Wake();
    FRx.NextFrame(false);
  }
}

void TLinkEngine::FailByPort(std::exception_ptr e) {
  try {
    std::rethrow_exception(e);
  } catch (const std::exception &x) {
    if (IsTransportGone(x)) {
      LineLost(TransportOsError(x));
      return;
    }
  } catch (...) {
  }
  PortError = e;
  Finish(false);
}

// The transport saw the line hang up or fail. A waiting exchange ends at
// once; the port is released either way.
void TLinkEngine::LineLost(int osError) {
  if (!LostError) {
    LostError = osError > 0 ? osError : EIO;
    FLostDevice = FTransport ? FTransport->Name() : std::string();
  }
  if (FExchange != TExchange::None)
    Finish(false);
  else
    ReleasePort();
}

void TLinkEngine::RecordLineLost() {
  Error = ErrorMessage(LE_LineLost) + ": " + FLostDevice + " (Error: " + std::to_string(LostError) + ")";
  ErrorCode = LE_LineLost;
  ErrorOs = LostError;
}

void TLinkEngine::RecordFailure() {
  // A refusal that came before the line went is still the record's reason.
  if (FRx.Refused)
    SetError(FRx.RegisterCode());
  else if (FKeepFailed) {
    SetError(LE_KeepFailed);
    Error += ": " + FKeepWhy;
  }
  else if (LostError)
    RecordLineLost();
  else if (FRx.Overflow)
    SetError(LE_CharCount);
  else if (FTimedOut)
    SetError(LE_TimeOut);
  else if (FRx.RxBuffer[2] != ACK)
    SetError(LE_Nak);
  else
    SetError(FRx.RegisterCode());
}

void TLinkEngine::Finish(bool ok) {
  const bool wasRunning = FExchange != TExchange::None;
  FTimer.stop();
  FExchange = TExchange::None;
  FKeep = nullptr;
  Ok = ok;
  if (!ok) {
    RecordFailure();
    if (FTrace) {
      // What came and was never taken, once: a frame already taken is not
      // repeated, bytes held behind it are.
      std::string rest;
      if (wasRunning && !FRx.FrameReady && !FRx.Refused)
        rest.assign(reinterpret_cast<const char *>(FRx.RxBuffer), size_t(FRx.RxCount));
      rest += FRx.Held();
      if (!rest.empty()) FTrace->NotTaken(rest);
      FTrace->Note(Error);
    }
  }
  FRxWriteMode = FWriteMode;
  if (LostError) ReleasePort();
  Done.store(true, std::memory_order_release);
  if (Wake) Wake();
}
