#include "TarvoCore.h"

#include <algorithm>
#include <cerrno>
#include <exception>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

using namespace Frame;

struct TTARVO::Impl {
  QTimer TimeoutTimer;  // the silence timer and nothing else
  bool TimedOut = false;
  TReceiver Rx;
  // The handler runs inside Qt's event processing, which must not be left by
  // an exception; a port failure there is kept and rethrown by the wait loop.
  std::exception_ptr PortError;
  // Which receive handler the running exchange uses: the write-mode
  // acceptance test for writes, the CRC test for reads.
  bool RxWriteMode = false;
  // The line went away: the OS error its reads and writes give (> 0) and the
  // device it was, kept until the next Connect.
  int LostError = 0;
  std::string LostDevice;
  std::shared_ptr<TLinkTrace> Trace;
};

TTARVO::TTARVO(bool writeMode, int silenceMs)
    : FWriteMode(writeMode), FComPort(std::make_unique<TComPort>()), FImpl(std::make_unique<Impl>()) {
  FComPort->SetDiscardNull(false);  // run-length counts and payloads hold 0x00
  FComPort->FlowControl().SetControlDTR(dtrEnable);
  FComPort->FlowControl().SetControlRTS(rtsDisable);
  FComPort->OnRxChar = [this](TCustomComPort *, int count) { HandleRxChar(count); };
  FComPort->OnLineLost = [this](TCustomComPort *, int osError) { HandleLineLost(osError); };

  FImpl->RxWriteMode = writeMode;
  // Precise: a coarse timer may fire 5 % early, and the silence is a promise
  // to the register, not an estimate.
  FImpl->TimeoutTimer.setTimerType(Qt::PreciseTimer);
  FImpl->TimeoutTimer.setInterval(silenceMs > 0 ? silenceMs : 5000);
  QObject::connect(&FImpl->TimeoutTimer, &QTimer::timeout, [impl = FImpl.get()] {
    impl->TimedOut = true;
    impl->TimeoutTimer.stop();
  });
}

TTARVO::~TTARVO() {
  // Close may still hand us a pending delivery; it must find nothing to do.
  FComPort->OnRxChar = [](TCustomComPort *, int) {};
  FComPort->OnLineLost = [](TCustomComPort *, int) {};
  try {
    if (FComPort->Connected()) FComPort->Close();
  } catch (...) {
    // A destructor has nobody to tell; the device is released by the port's
    // own destructor either way.
  }
}

const TReceiver &TTARVO::Receiver() const { return FImpl->Rx; }

bool TTARVO::LineLost() const { return FImpl->LostError > 0; }

void TTARVO::SetError(int32_t code) { FLastError = ErrorMessage(code); }

void TTARVO::SetError(int32_t code, const std::string &detail) {
  FLastError = ErrorMessage(code) + ": " + detail;
}

void TTARVO::SetTrace(std::shared_ptr<TLinkTrace> trace) { FImpl->Trace = std::move(trace); }

bool TTARVO::Connect() {
  TComPort &p = *FComPort;
  if (FImpl->LostError) {
    // Opened afresh: the device may be back under its name.
    ReleasePort();
    FImpl->LostError = 0;
    FImpl->LostDevice.clear();
  }
  try {
    p.BeginSettingsUpdate();
    try {
      p.SetPort(DevicePath.empty() ? "COM" + std::to_string(unsigned(PortNumber)) : DevicePath);
      p.SetStopBits(sbOneStopBit);
      p.SetBaudRate(PortBaud);
      p.SetDataBits(dbEight);
      p.Parity().SetBits(prNone);
      p.FlowControl().SetFlowControl(fcNone);
    } catch (...) {
      p.EndSettingsUpdate();
      throw;
    }
    p.EndSettingsUpdate();
    p.Open();
  } catch (const EComPort &e) {
    FPortMessage = e.what();
    FOsError = e.SystemError;
    SetError(LE_OpenPort);
  } catch (const std::exception &e) {
    FPortMessage = e.what();
    FOsError = -1;
    SetError(LE_OpenPort);
  }
  return p.Connected();
}

void TTARVO::Disconnect() {
  if (FComPort->Connected()) FComPort->Close();
}

void TTARVO::RestartTimeout() {
  FImpl->TimeoutTimer.stop();
  FImpl->TimedOut = false;
  FImpl->TimeoutTimer.start();
}

// The event thread saw the device hang up or fail. A waiting exchange ends
// (WaitForFrame looks at LostError) and releases the port itself; between
// exchanges the port is released now.
void TTARVO::HandleLineLost(int osError) {
  NoteLineLost(osError);
  if (!FBusy) ReleasePort();
}

void TTARVO::NoteLineLost(int osError) {
  Impl &d = *FImpl;
  if (d.LostError) return;
  d.LostError = osError > 0 ? osError : EIO;
  d.LostDevice = FComPort->DevicePath();
}

// A device that went away may come back under the same name (a replugged
// adapter); holding its dead descriptor would keep the name taken.
void TTARVO::ReleasePort() {
  try {
    if (FComPort->Connected()) FComPort->Close();
  } catch (...) {
    // Closing a dead line can only fail on the way; the descriptor is released.
  }
}

// True when the port error means the line is gone; the loss is then noted.
bool TTARVO::LineGoneBy(const EComPort &e) {
  if (!IsLineGoneError(e.SystemError)) return false;
  NoteLineLost(e.SystemError);
  return true;
}

void TTARVO::HandleRxChar(int count) {
  Impl &d = *FImpl;
  try {
    uint8_t chunk[BufferSize];
    if (!FBusy) {
      // Nothing is waiting for these bytes: a late answer or line noise.
      // Reading them keeps them out of the next exchange.
      for (int left = count; left > 0;) {
        const int n = FComPort->Read(chunk, std::min<int>(left, int(BufferSize)));
        if (n <= 0) break;
        left -= n;
      }
      return;
    }
    if (count > int(BufferSize)) {
      // More than a frame can hold arrived at once: no frame can be made of
      // it. Take it off the line and let the exchange end.
      d.Rx.Overflow = true;
      DrainInput();
    } else if (count > 0) {
      const int n = FComPort->Read(chunk, count);
      if (n > 0) d.Rx.Feed(chunk, size_t(n), d.RxWriteMode);
      if (d.Rx.Overflow) DrainInput();
    }
    RestartTimeout();
  } catch (const EComPort &e) {
    if (!LineGoneBy(e))
      d.PortError = std::current_exception();
    else if (!FBusy)
      ReleasePort();
  } catch (...) {
    d.PortError = std::current_exception();
  }
}

void TTARVO::DrainInput() {
  uint8_t scratch[BufferSize];
  // Bounded: a peer that never stops sending must not hold the GUI thread.
  for (int round = 0; round < 64; ++round) {
    const int waiting = FComPort->InputCount();
    if (waiting <= 0) break;
    if (FComPort->Read(scratch, std::min<int>(waiting, int(BufferSize))) <= 0) break;
  }
}

bool TTARVO::BeginExchange(const std::string &text, bool writeExchange) {
  if (FBusy) {
    SetError(LE_Busy);
    return false;
  }
  if (FImpl->LostError) {
    RecordLineLost();  // the same reason again; nothing is sent
    if (FImpl->Trace) FImpl->Trace->Note(FLastError);
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
  FBusy = true;
  FImpl->RxWriteMode = writeExchange;
  FImpl->PortError = nullptr;
  return true;
}

void TTARVO::SendFrame(const std::string &text) {
  const std::string frame = EncodeRequest(text);
  RestartTimeout();
  FImpl->Rx.Reset();
  if (FImpl->Trace) FImpl->Trace->Sent(frame);
  FComPort->Write(frame.data(), int32_t(frame.size()));
}

void TTARVO::SendAck() {
  if (FImpl->Trace) FImpl->Trace->Sent(AckFrame());
  FComPort->Write(AckFrame().data(), int32_t(AckFrame().size()));
}

// The complete frame in the receiver is taken: data, final, acceptance or
// refusal.
void TTARVO::TakeFrame() {
  const Impl &d = *FImpl;
  if (d.Trace)
    d.Trace->Received(std::string_view(reinterpret_cast<const char *>(d.Rx.RxBuffer), size_t(d.Rx.RxCount)));
}

void TTARVO::WaitForFrame() {
  Impl &d = *FImpl;
  if (!QCoreApplication::instance()) {
    // No event loop to wait in: nothing can arrive.
    d.TimedOut = true;
    return;
  }
  while (!d.Rx.FrameReady && !d.Rx.Refused && !d.TimedOut && !d.Rx.Overflow && !d.PortError && !d.LostError)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TTARVO::RecordLineLost() {
  const Impl &d = *FImpl;
  SetError(LE_LineLost, d.LostDevice + " (Error: " + std::to_string(d.LostError) + ")");
}

void TTARVO::RecordFailure() {
  const Impl &d = *FImpl;
  // A refusal that came before the line went is still the record's reason.
  if (d.Rx.Refused)
    SetError(d.Rx.RegisterCode());
  else if (d.LostError)
    RecordLineLost();
  else if (d.Rx.Overflow)
    SetError(LE_CharCount);
  else if (d.TimedOut)
    SetError(LE_TimeOut);
  else if (d.Rx.RxBuffer[2] != ACK)
    SetError(LE_Nak);
  else
    SetError(d.Rx.RegisterCode());
}

void TTARVO::EndExchange(bool ok) {
  Impl &d = *FImpl;
  d.TimeoutTimer.stop();
  if (!ok) {
    RecordFailure();
    if (d.Trace) {
      // What came and was never taken, once: a frame already taken is not
      // repeated, bytes held behind it are.
      std::string rest;
      if (!d.Rx.FrameReady && !d.Rx.Refused)
        rest.assign(reinterpret_cast<const char *>(d.Rx.RxBuffer), size_t(d.Rx.RxCount));
      rest += d.Rx.Held();
      if (!rest.empty()) d.Trace->NotTaken(rest);
      d.Trace->Note(FLastError);
    }
  }
  d.RxWriteMode = FWriteMode;
  FBusy = false;
  if (d.LostError) ReleasePort();
}

bool TTARVO::ReadLines(const std::string &command, TLineList &lines) {
  if (!BeginExchange(command, false)) return false;
  Impl &d = *FImpl;
  bool final = false;
  try {
    SendFrame(command);
    for (;;) {
      WaitForFrame();
      if (d.PortError) std::rethrow_exception(d.PortError);
      if (d.Rx.Overflow) break;
      if (d.Rx.FrameReady) {
        TakeFrame();
        final = d.Rx.Final();
        // A data frame that cannot be acknowledged any more is not a line:
        // the register has not been told it arrived.
        if (!final && !d.LostError) {
          SendAck();
          RestartTimeout();
          lines.push_back(d.Rx.AnswerText());
          d.Rx.NextFrame(false);
        }
      }
      if (d.TimedOut || final || d.LostError) break;
    }
  } catch (const EComPort &e) {
    if (!LineGoneBy(e)) {
      EndExchange(false);
      throw;
    }
  } catch (...) {
    EndExchange(false);
    throw;
  }
  EndExchange(final);
  return final;
}

bool TTARVO::SendText(const std::string &text) {
  if (!BeginExchange(text, true)) return false;
  Impl &d = *FImpl;
  bool accepted = false;
  try {
    SendFrame(text);
    for (;;) {
      WaitForFrame();
      if (d.PortError) std::rethrow_exception(d.PortError);
      if (d.Rx.Overflow) break;
      accepted = d.Rx.FrameReady;  // set only for a frame holding 10 02 06
      if (accepted || d.Rx.Refused) TakeFrame();
      if (d.TimedOut || accepted || d.Rx.Refused || d.LostError) break;
    }
  } catch (const EComPort &e) {
    if (!LineGoneBy(e)) {
      EndExchange(false);
      throw;
    }
  } catch (...) {
    EndExchange(false);
    throw;
  }
  EndExchange(accepted);
  return accepted;
}

bool TTARVO::SendRecord(int kind, const void *rec) {
  const std::string text = BuildRecordText(kind, rec);
  if (text.empty()) {
    SetError(LE_RecordKind);
    return false;
  }
  return SendText(text);
}

bool TTARVO::SendCommand(const std::string &text) {
  // Callers need not check this Boolean, so a command that cannot go fails
  // by an exception: on a line already lost the port was released ("Port
  // Not Open"), and LastError says why.
  if (!FBusy && FImpl->LostError) {
    RecordLineLost();
    throw EComPort(CE_PortNotOpen);
  }
  if (!BeginExchange(text, FWriteMode)) return false;
  try {
    SendFrame(text);
  } catch (const EComPort &e) {
    EndExchange(!LineGoneBy(e));  // only a lost line is recorded
    throw;
  } catch (...) {
    EndExchange(true);
    throw;
  }
  EndExchange(true);
  return true;
}
