#include "SerialTransport.h"

#include <algorithm>

TSerialTransport::TSerialTransport(std::string port) : FPort(std::make_unique<TComPort>()) {
  FPort->SetDiscardNull(false);  // run-length counts and payloads hold 0x00
  FPort->FlowControl().SetControlDTR(dtrEnable);
  FPort->FlowControl().SetControlRTS(rtsDisable);
  FPort->SetPort(port);
  FPort->OnRxChar = [this](TCustomComPort *, int count) { TakeBytes(count); };
  FPort->OnLineLost = [this](TCustomComPort *, int osError) {
    if (OnLineLost) OnLineLost(osError);
  };
}

TSerialTransport::~TSerialTransport() {
  // Close may still hand us a pending delivery; it must find nothing to do.
  FPort->OnRxChar = [](TCustomComPort *, int) {};
  FPort->OnLineLost = [](TCustomComPort *, int) {};
  Close();
}

void TSerialTransport::Open(TBaudRate baud) {
  TComPort &p = *FPort;
  p.BeginSettingsUpdate();
  try {
    p.SetStopBits(sbOneStopBit);
    p.SetBaudRate(baud);
    p.SetDataBits(dbEight);
    p.Parity().SetBits(prNone);
    p.FlowControl().SetFlowControl(fcNone);
  } catch (...) {
    p.EndSettingsUpdate();
    throw;
  }
  p.EndSettingsUpdate();
  p.Open();
}

void TSerialTransport::Close() {
  try {
    if (FPort->Connected()) FPort->Close();
  } catch (...) {
    // Closing a dead line can only fail on the way; the descriptor is released.
  }
}

bool TSerialTransport::Connected() const { return FPort->Connected(); }

void TSerialTransport::Write(const void *data, size_t size) { FPort->Write(data, int32_t(size)); }

std::string TSerialTransport::Name() const { return FPort->DevicePath(); }

void TSerialTransport::TakeBytes(int count) {
  uint8_t chunk[4096];
  for (int left = count; left > 0;) {
    const int n = FPort->Read(chunk, std::min<int>(left, int(sizeof chunk)));
    if (n <= 0) break;
    left -= n;
    if (OnReceived) OnReceived(chunk, size_t(n));
    // The receiver may have closed the port (a lost line, the exchange's end).
    if (!FPort->Connected()) break;
  }
}
