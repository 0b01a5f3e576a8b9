// TCustomComPort: the portable half of the serial port component. Settings,
// the order of opening and closing, and what a set of line events means;
// every OS call goes through the device (ComDevice.h).
#include "ComPort.h"

#include <cerrno>
#include <system_error>

#include <QPointer>

#include "ComDevice.h"
#include "PortMap.h"

TCustomComPort::TCustomComPort(QObject *owner) : QObject(owner), FDevice(MakeComDevice()) {}

TCustomComPort::~TCustomComPort() {
  try {
    Close();
  } catch (...) {
    // A destructor has nobody to report to; the device is released below.
  }
  FDevice.reset();
}

// --- settings of the port itself ---

void TCustomComPort::SetPort(const std::string &name) {
  if (name == FPort) return;
  FPort = name;
  if (FConnected) {
    Close();
    Open();
  }
}

void TCustomComPort::SetBaudRate(TBaudRate v) {
  if (v == FBaudRate) return;
  FBaudRate = v;
  ApplyLineSettings();
}

void TCustomComPort::SetCustomBaudRate(int32_t v) {
  if (v == FCustomBaudRate) return;
  FCustomBaudRate = v;
  ApplyLineSettings();
}

void TCustomComPort::SetDataBits(TDataBits v) {
  if (v == FDataBits) return;
  FDataBits = v;
  ApplyLineSettings();
}

void TCustomComPort::SetStopBits(TStopBits v) {
  if (v == FStopBits) return;
  FStopBits = v;
  ApplyLineSettings();
}

void TCustomComPort::SetDiscardNull(bool v) {
  if (v == FDiscardNull) return;
  FDiscardNull = v;
  ApplyLineSettings();
}

void TCustomComPort::SetEventChar(uint8_t v) {
  if (v == FEventChar) return;
  FEventChar = v;
  ApplyLineSettings();
}

// The thread waits for the set it was started with, so an open port gets a
// new thread for a new set.
void TCustomComPort::SetEvents(TComEvents v) {
  v &= AllComEvents;
  if (v == FEvents) return;
  FEvents = v;
  if (FConnected) {
    StopEventThread();
    if (FEvents) StartEventThread();
  }
}

void TCustomComPort::BeginSettingsUpdate() { ++FUpdateCount; }

void TCustomComPort::EndSettingsUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0) {
    ApplyBuffer();
    ApplyLineSettings();
    ApplyTimeouts();
  }
}

void TCustomComPort::ApplyGroup(TComGroup group) {
  switch (group) {
    case TComGroup::Line: return ApplyLineSettings();
    case TComGroup::Timeouts: return ApplyTimeouts();
    case TComGroup::Buffer: return ApplyBuffer();
  }
}

void TCustomComPort::ApplyLineSettings() {
  if (SettingsApplicable()) WriteLineSettings();
}

void TCustomComPort::ApplyTimeouts() {
  if (SettingsApplicable()) FDevice->SetTimeouts(FTimeouts);
}

void TCustomComPort::ApplyBuffer() {
  if (SettingsApplicable()) FDevice->SetQueueSizes(FBuffer);
}

void TCustomComPort::WriteLineSettings() {
  if (FBaudRate == brCustom && FCustomBaudRate <= 0) throw EComPort(CE_SetState, EINVAL);
  FDevice->SetLineSettings(BuildDcb());
}

TDcbBlock TCustomComPort::BuildDcb() const {
  TLineValues line;
  line.BitsPerSecond = FBaudRate == brCustom ? uint32_t(FCustomBaudRate) : uint32_t(BaudRateValue(FBaudRate));
  line.DataBits = FDataBits;
  line.StopBits = FStopBits;
  line.DiscardNull = FDiscardNull;
  line.EventChar = FEventChar;
  return BuildDcbBlock(line, FParity, FFlowControl, FBuffer);
}

std::string TCustomComPort::DevicePath() const { return MapPortName(FPort); }

// --- open and close ---

void TCustomComPort::Open() {
  if (FConnected) return;
  FDevice->Open(DevicePath());
  FConnected = true;
  FLineLost = false;
  try {
    FDevice->SetQueueSizes(FBuffer);
    WriteLineSettings();
    FDevice->SetTimeouts(FTimeouts);
  } catch (...) {
    ReleaseDevice();
    throw;
  }
  FDevice->PurgeInput();
  if (FEvents) {
    try {
      StartEventThread();
    } catch (const std::system_error &e) {
      ReleaseDevice();
      throw EComPort(CE_OpenFailed, e.code().value());
    } catch (...) {
      ReleaseDevice();
      throw;
    }
  }
  FDevice->ReadModemLines();
}

void TCustomComPort::Close() {
  if (!FConnected && !FDevice->IsOpen()) return;
  StopEventThread();
  FDevice->Close(FTimeouts, !FLineLost);
  FConnected = false;
}

void TCustomComPort::ReleaseDevice() {
  FDevice->Close(FTimeouts, false);
  FConnected = false;
}

void TCustomComPort::StartEventThread() {
  // The port is the context: a hand-over still queued when it is destroyed
  // is dropped with it.
  FDevice->StartEvents(FEvents, this, [this](TComEvents events, int lostError) { HandleEvents(events, lostError); });
  FThreadCreated = true;
}

void TCustomComPort::StopEventThread() {
  FDevice->StopEvents();
  FThreadCreated = false;
}

// --- transfers ---

int32_t TCustomComPort::Write(const void *buffer, int32_t count) {
  if (!FDevice->IsOpen()) throw EComPort(CE_PortNotOpen);
  return FDevice->Write(buffer, count, FTimeouts);
}

int32_t TCustomComPort::Read(void *buffer, int32_t count) {
  if (!FDevice->IsOpen()) throw EComPort(CE_PortNotOpen);
  return FDevice->Read(buffer, count, FTimeouts, FDiscardNull);
}

int32_t TCustomComPort::InputCount() {
  if (!FDevice->IsOpen()) throw EComPort(CE_PortNotOpen);
  return FDevice->InputCount();
}

// --- events, on the port's own thread ---

void TCustomComPort::HandleEvents(TComEvents events, int lostError) {
  if (!FDevice->IsOpen()) return;
  // The handler may close the port or even destroy it; nothing below may
  // touch the component once it is gone.
  QPointer<TCustomComPort> alive(this);
  if (events & ComEventBit(evRxChar)) {
    int count = 0;
    try {
      count = InputCount();
    } catch (const EComPort &) {
      // A line that has just gone may refuse even this; the loss below says
      // why, and must not be lost behind the failure.
      if (lostError <= 0) throw;
    }
    if (count > 0 && OnRxChar) {
      const TRxCharEvent handler = OnRxChar;  // survives the handler replacing itself
      handler(this, count);
      if (!alive || !FDevice->IsOpen()) return;
    }
  }
  if (lostError > 0) {
    if (FLineLost) return;
    FLineLost = true;
    if (OnLineLost) {
      const TLineLostEvent handler = OnLineLost;
      handler(this, lostError);
    }
    // Modem lines of a line that is gone cannot be read.
    return;
  }
  if (events & (ComEventBit(evCTS) | ComEventBit(evDSR) | ComEventBit(evRLSD))) FDevice->ReadModemLines();
}
