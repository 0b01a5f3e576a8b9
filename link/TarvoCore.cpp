#include "TarvoCore.h"

#include <algorithm>
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
};

TTARVO::TTARVO(bool writeMode, int silenceMs)
    : FWriteMode(writeMode), FComPort(std::make_unique<TComPort>()), FImpl(std::make_unique<Impl>()) {
  FComPort->SetDiscardNull(false);  // run-length counts and payloads hold 0x00
  FComPort->FlowControl().SetControlDTR(dtrEnable);
  FComPort->FlowControl().SetControlRTS(rtsDisable);
  FComPort->OnRxChar = [this](TCustomComPort *, int count) { HandleRxChar(count); };

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
  try {
    if (FComPort->Connected()) FComPort->Close();
  } catch (...) {
    // A destructor has nobody to tell; the device is released by the port's
    // own destructor either way.
  }
}

const TReceiver &TTARVO::Receiver() const { return FImpl->Rx; }

void TTARVO::SetError(int32_t code) { FLastError = ErrorMessage(code); }

bool TTARVO::Connect() {
  TComPort &p = *FComPort;
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
  if (text.size() > MaxCommandText) {
    SetError(LE_TextTooLong);
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
  FComPort->Write(frame.data(), int32_t(frame.size()));
}

void TTARVO::WaitForFrame() {
  Impl &d = *FImpl;
  if (!QCoreApplication::instance()) {
    // No event loop to wait in: nothing can arrive.
    d.TimedOut = true;
    return;
  }
  while (!d.Rx.FrameReady && !d.Rx.Refused && !d.TimedOut && !d.Rx.Overflow && !d.PortError)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TTARVO::RecordFailure() {
  const Impl &d = *FImpl;
  if (d.Rx.Overflow)
    SetError(LE_CharCount);
  else if (d.Rx.Refused)
    SetError(d.Rx.RefusalCode());
  else if (d.TimedOut)
    SetError(LE_TimeOut);
  else if (d.Rx.RxBuffer[2] != ACK)
    SetError(LE_Nak);
  else
    SetError(int32_t(d.Rx.Answer[1]));  // the register's code, unsigned
}

void TTARVO::EndExchange() {
  FImpl->TimeoutTimer.stop();
  FImpl->RxWriteMode = FWriteMode;
  FBusy = false;
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
        final = d.Rx.Final();
        if (!final) {
          FComPort->Write(AckFrame().data(), int32_t(AckFrame().size()));
          RestartTimeout();
          lines.push_back(d.Rx.AnswerText());
          d.Rx.NextFrame(false);
        }
      }
      if (d.TimedOut || final) break;
    }
  } catch (...) {
    RecordFailure();
    EndExchange();
    throw;
  }
  EndExchange();
  if (!final) RecordFailure();
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
      if (d.TimedOut || accepted || d.Rx.Refused) break;
    }
  } catch (...) {
    RecordFailure();
    EndExchange();
    throw;
  }
  EndExchange();
  if (!accepted) RecordFailure();
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
  if (!BeginExchange(text, FWriteMode)) return false;
  try {
    SendFrame(text);
  } catch (...) {
    EndExchange();
    throw;
  }
  EndExchange();
  return true;
}
