// The port's four settings objects (parity, flow control, time-outs, queue
// sizes). Each is made with its port's way of re-applying a group of
// settings, and a change re-applies that object's group to an open port.
// They know nothing else of the port. Portable.
#pragma once

#include <cstdint>
#include <functional>

#include "ComTypes.h"

// The groups of settings a port applies to the OS as a whole.
enum class TComGroup { Line, Timeouts, Buffer };
// The port's re-application of a group, called when a value changed.
using TComReapply = std::function<void(TComGroup group)>;

class TComParity {
 public:
  explicit TComParity(TComReapply reapply) : Reapply(std::move(reapply)) {}
  TParityBits Bits() const { return FBits; }
  void SetBits(TParityBits v);
  bool Check() const { return FCheck; }
  void SetCheck(bool v);
  bool Replace() const { return FReplace; }
  void SetReplace(bool v);
  uint8_t ReplaceChar() const { return FReplaceChar; }
  void SetReplaceChar(uint8_t v);

 private:
  TComReapply Reapply;
  TParityBits FBits = prNone;
  bool FCheck = false;
  bool FReplace = false;
  uint8_t FReplaceChar = 0;
};

class TComFlowControl {
 public:
  explicit TComFlowControl(TComReapply reapply) : Reapply(std::move(reapply)) {}
  bool OutCTSFlow() const { return FOutCTSFlow; }
  void SetOutCTSFlow(bool v);
  bool OutDSRFlow() const { return FOutDSRFlow; }
  void SetOutDSRFlow(bool v);
  TDTRFlowControl ControlDTR() const { return FControlDTR; }
  void SetControlDTR(TDTRFlowControl v);
  TRTSFlowControl ControlRTS() const { return FControlRTS; }
  void SetControlRTS(TRTSFlowControl v);
  bool XonXoffOut() const { return FXonXoffOut; }
  void SetXonXoffOut(bool v);
  bool XonXoffIn() const { return FXonXoffIn; }
  void SetXonXoffIn(bool v);
  bool DSRSensitivity() const { return FDSRSensitivity; }
  void SetDSRSensitivity(bool v);
  bool TxContinueOnXoff() const { return FTxContinueOnXoff; }
  void SetTxContinueOnXoff(bool v);
  uint8_t XonChar() const { return FXonChar; }
  void SetXonChar(uint8_t v);
  uint8_t XoffChar() const { return FXoffChar; }
  void SetXoffChar(uint8_t v);
  // The preset view of the settings above; writing it always re-applies.
  TFlowControl FlowControl() const;
  void SetFlowControl(TFlowControl v);

 private:
  TComReapply Reapply;
  bool FOutCTSFlow = false, FOutDSRFlow = false;
  TDTRFlowControl FControlDTR = dtrDisable;
  TRTSFlowControl FControlRTS = rtsDisable;
  bool FXonXoffOut = false, FXonXoffIn = false;
  bool FDSRSensitivity = false, FTxContinueOnXoff = false;
  uint8_t FXonChar = 17, FXoffChar = 19;
};

class TComTimeouts {
 public:
  explicit TComTimeouts(TComReapply reapply) : Reapply(std::move(reapply)) {}
  int32_t ReadInterval() const { return FReadInterval; }
  void SetReadInterval(int32_t v);
  int32_t ReadTotalMultiplier() const { return FReadTotalMultiplier; }
  void SetReadTotalMultiplier(int32_t v);
  int32_t ReadTotalConstant() const { return FReadTotalConstant; }
  void SetReadTotalConstant(int32_t v);
  int32_t WriteTotalMultiplier() const { return FWriteTotalMultiplier; }
  void SetWriteTotalMultiplier(int32_t v);
  int32_t WriteTotalConstant() const { return FWriteTotalConstant; }
  void SetWriteTotalConstant(int32_t v);

 private:
  TComReapply Reapply;
  int32_t FReadInterval = -1, FReadTotalMultiplier = 0, FReadTotalConstant = 0;
  int32_t FWriteTotalMultiplier = 100, FWriteTotalConstant = 1000;
};

class TComBuffer {
 public:
  explicit TComBuffer(TComReapply reapply) : Reapply(std::move(reapply)) {}
  int32_t InputSize() const { return FInputSize; }
  void SetInputSize(int32_t v);
  int32_t OutputSize() const { return FOutputSize; }
  void SetOutputSize(int32_t v);

 private:
  TComReapply Reapply;
  int32_t FInputSize = 1024, FOutputSize = 1024;
};
