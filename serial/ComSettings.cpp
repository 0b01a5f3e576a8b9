// The four settings objects. A setter that gets
// the value already held does nothing, so callers may set everything on each
// connect without re-programming the line each time.
#include "ComSettings.h"

namespace {

// Store v and tell the caller whether anything changed.
template <typename T>
bool Assign(T &field, T v) {
  if (field == v) return false;
  field = v;
  return true;
}

}  // namespace

// --- parity: part of the line settings ---
void TComParity::SetBits(TParityBits v) {
  if (Assign(FBits, v)) Reapply(TComGroup::Line);
}
void TComParity::SetCheck(bool v) {
  if (Assign(FCheck, v)) Reapply(TComGroup::Line);
}
void TComParity::SetReplace(bool v) {
  if (Assign(FReplace, v)) Reapply(TComGroup::Line);
}
void TComParity::SetReplaceChar(uint8_t v) {
  if (Assign(FReplaceChar, v)) Reapply(TComGroup::Line);
}

// --- flow control: part of the line settings ---
void TComFlowControl::SetOutCTSFlow(bool v) {
  if (Assign(FOutCTSFlow, v)) Reapply(TComGroup::Line);
}
void TComFlowControl::SetOutDSRFlow(bool v) {
  if (Assign(FOutDSRFlow, v)) Reapply(TComGroup::Line);
}
void TComFlowControl::SetControlDTR(TDTRFlowControl v) {
  if (Assign(FControlDTR, v)) Reapply(TComGroup::Line);
}
void TComFlowControl::SetControlRTS(TRTSFlowControl v) {
  if (Assign(FControlRTS, v)) Reapply(TComGroup::Line);
}
void TComFlowControl::SetXonXoffOut(bool v) {
  if (Assign(FXonXoffOut, v)) Reapply(TComGroup::Line);
}
void TComFlowControl::SetXonXoffIn(bool v) {
  if (Assign(FXonXoffIn, v)) Reapply(TComGroup::Line);
}
void TComFlowControl::SetDSRSensitivity(bool v) {
  if (Assign(FDSRSensitivity, v)) Reapply(TComGroup::Line);
}
void TComFlowControl::SetTxContinueOnXoff(bool v) {
  if (Assign(FTxContinueOnXoff, v)) Reapply(TComGroup::Line);
}
void TComFlowControl::SetXonChar(uint8_t v) {
  if (Assign(FXonChar, v)) Reapply(TComGroup::Line);
}
void TComFlowControl::SetXoffChar(uint8_t v) {
  if (Assign(FXoffChar, v)) Reapply(TComGroup::Line);
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
  Reapply(TComGroup::Line);
}

// --- time-outs ---
void TComTimeouts::SetReadInterval(int32_t v) {
  if (Assign(FReadInterval, v)) Reapply(TComGroup::Timeouts);
}
void TComTimeouts::SetReadTotalMultiplier(int32_t v) {
  if (Assign(FReadTotalMultiplier, v)) Reapply(TComGroup::Timeouts);
}
void TComTimeouts::SetReadTotalConstant(int32_t v) {
  if (Assign(FReadTotalConstant, v)) Reapply(TComGroup::Timeouts);
}
void TComTimeouts::SetWriteTotalMultiplier(int32_t v) {
  if (Assign(FWriteTotalMultiplier, v)) Reapply(TComGroup::Timeouts);
}
void TComTimeouts::SetWriteTotalConstant(int32_t v) {
  if (Assign(FWriteTotalConstant, v)) Reapply(TComGroup::Timeouts);
}

// --- queue sizes ---
void TComBuffer::SetInputSize(int32_t v) {
  if (Assign(FInputSize, v)) Reapply(TComGroup::Buffer);
}
void TComBuffer::SetOutputSize(int32_t v) {
  if (Assign(FOutputSize, v)) Reapply(TComGroup::Buffer);
}
