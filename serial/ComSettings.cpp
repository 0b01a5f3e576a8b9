// The four settings objects and the enumeration tables. A setter that gets
// the value already held does nothing, so callers may set everything on each
// connect without re-programming the line each time.
#include "ComPort.h"

namespace {

// Store v and tell the caller whether anything changed.
template <typename T>
bool Assign(T &field, T v) {
  if (field == v) return false;
  field = v;
  return true;
}

}  // namespace

int BaudRateValue(TBaudRate rate) {
  static const int Rates[] = {0,     110,   300,   600,   1200,   2400,   4800,   9600,
                              14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
  if (rate < brCustom || rate > br256000) return 0;
  return Rates[rate];
}

// OS event bits in TComEvent order.
static const uint32_t EventMaskBits[] = {0x0001, 0x0004, 0x0002, 0x0100, 0x0040,
                                         0x0008, 0x0010, 0x0080, 0x0020, 0x0400};

uint32_t EventsToMask(TComEvents events) {
  uint32_t mask = 0;
  for (int e = evRxChar; e <= evRx80Full; ++e)
    if (events & ComEventBit(TComEvent(e))) mask |= EventMaskBits[e];
  return mask;
}

TComEvents MaskToEvents(uint32_t mask) {
  TComEvents events = 0;
  for (int e = evRxChar; e <= evRx80Full; ++e)
    if (mask & EventMaskBits[e]) events |= ComEventBit(TComEvent(e));
  return events;
}

// --- parity: part of the line settings ---
void TComParity::SetBits(TParityBits v) {
  if (Assign(FBits, v)) Port->ApplyLineSettings();
}
void TComParity::SetCheck(bool v) {
  if (Assign(FCheck, v)) Port->ApplyLineSettings();
}
void TComParity::SetReplace(bool v) {
  if (Assign(FReplace, v)) Port->ApplyLineSettings();
}
void TComParity::SetReplaceChar(uint8_t v) {
  if (Assign(FReplaceChar, v)) Port->ApplyLineSettings();
}

// --- flow control: part of the line settings ---
void TComFlowControl::SetOutCTSFlow(bool v) {
  if (Assign(FOutCTSFlow, v)) Port->ApplyLineSettings();
}
void TComFlowControl::SetOutDSRFlow(bool v) {
  if (Assign(FOutDSRFlow, v)) Port->ApplyLineSettings();
}
void TComFlowControl::SetControlDTR(TDTRFlowControl v) {
  if (Assign(FControlDTR, v)) Port->ApplyLineSettings();
}
void TComFlowControl::SetControlRTS(TRTSFlowControl v) {
  if (Assign(FControlRTS, v)) Port->ApplyLineSettings();
}
void TComFlowControl::SetXonXoffOut(bool v) {
  if (Assign(FXonXoffOut, v)) Port->ApplyLineSettings();
}
void TComFlowControl::SetXonXoffIn(bool v) {
  if (Assign(FXonXoffIn, v)) Port->ApplyLineSettings();
}
void TComFlowControl::SetDSRSensitivity(bool v) {
  if (Assign(FDSRSensitivity, v)) Port->ApplyLineSettings();
}
void TComFlowControl::SetTxContinueOnXoff(bool v) {
  if (Assign(FTxContinueOnXoff, v)) Port->ApplyLineSettings();
}
void TComFlowControl::SetXonChar(uint8_t v) {
  if (Assign(FXonChar, v)) Port->ApplyLineSettings();
}
void TComFlowControl::SetXoffChar(uint8_t v) {
  if (Assign(FXoffChar, v)) Port->ApplyLineSettings();
}

TFlowControl TComFlowControl::FlowControl() const {
  const bool anyXon = FXonXoffIn || FXonXoffOut;
  const bool bothXon = FXonXoffIn && FXonXoffOut;
  if (FControlRTS == rtsHandshake && FOutCTSFlow && !anyXon) return fcHardware;
  if (FControlRTS == rtsDisable && !FOutCTSFlow && bothXon) return fcSoftware;
  if (FControlRTS == rtsDisable && !FOutCTSFlow && !anyXon) return fcNone;
  return fcCustom;
}

// The preset writes the fields directly and re-applies once, even when the
// fields did not change: callers use it to force the line back into a known
// state. ControlDTR and OutDSRFlow are not part of any preset.
void TComFlowControl::SetFlowControl(TFlowControl v) {
  if (v != fcCustom) {
    FControlRTS = rtsDisable;
    FOutCTSFlow = false;
    FXonXoffIn = false;
    FXonXoffOut = false;
    if (v == fcHardware) {
      FControlRTS = rtsHandshake;
      FOutCTSFlow = true;
    } else if (v == fcSoftware) {
      FXonXoffIn = true;
      FXonXoffOut = true;
    }
  }
  Port->ApplyLineSettings();
}

// --- time-outs ---
void TComTimeouts::SetReadInterval(int32_t v) {
  if (Assign(FReadInterval, v)) Port->ApplyTimeouts();
}
void TComTimeouts::SetReadTotalMultiplier(int32_t v) {
  if (Assign(FReadTotalMultiplier, v)) Port->ApplyTimeouts();
}
void TComTimeouts::SetReadTotalConstant(int32_t v) {
  if (Assign(FReadTotalConstant, v)) Port->ApplyTimeouts();
}
void TComTimeouts::SetWriteTotalMultiplier(int32_t v) {
  if (Assign(FWriteTotalMultiplier, v)) Port->ApplyTimeouts();
}
void TComTimeouts::SetWriteTotalConstant(int32_t v) {
  if (Assign(FWriteTotalConstant, v)) Port->ApplyTimeouts();
}

// --- queue sizes ---
void TComBuffer::SetInputSize(int32_t v) {
  if (Assign(FInputSize, v)) Port->ApplyBuffer();
}
void TComBuffer::SetOutputSize(int32_t v) {
  if (Assign(FOutputSize, v)) Port->ApplyBuffer();
}
