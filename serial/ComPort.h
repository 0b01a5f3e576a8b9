// The serial port component: the only way the program reaches the RS-232 line.
//
// TCustomComPort holds every setting and the open device; TComPort is the
// component the register link creates. Settings live in four small objects
// (parity, flow control, time-outs, queue sizes) that re-apply their group to
// an open port when a value changes. Failures raise EComPort with the
// component's fixed error numbers and texts.
//
// Threads: everything here is called on the GUI thread. While the port is
// open an event thread (TComThread) waits for line events and hands each set
// of events to the GUI thread, blocking until the GUI thread has handled it,
// so OnRxChar and Read never need a lock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include <QObject>

enum TBaudRate {
  brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
  br19200, br38400, br56000, br57600, br115200, br128000, br256000
};
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum TComEvent {
  evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full
};

// A set of TComEvent: bit n stands for member n.
using TComEvents = uint16_t;
constexpr TComEvents ComEventBit(TComEvent e) { return TComEvents(1u << e); }
constexpr TComEvents AllComEvents = 0x03FF;

// bit/s of a TBaudRate; brCustom gives 0 (the caller uses CustomBaudRate).
int BaudRateValue(TBaudRate rate);
// OS event mask of a set and back (EV_RXCHAR 0x0001 ... EV_RX80FULL 0x0400).
uint32_t EventsToMask(TComEvents events);
TComEvents MaskToEvents(uint32_t mask);

// The component's error numbers.
enum : int {
  CE_OpenFailed = 1, CE_WriteFailed = 2, CE_ReadFailed = 3, CE_InvalidAsync = 4,
  CE_PurgeFailed = 5, CE_AsyncCheck = 6, CE_SetState = 7, CE_SetTimeouts = 8,
  CE_SetupCom = 9, CE_ClearCom = 10, CE_ModemStat = 11, CE_Escape = 12,
  CE_TransmitChar = 13, CE_ConnChangeProp = 14, CE_EnumPorts = 15, CE_StoreFailed = 16,
  CE_LoadFailed = 17, CE_RegFailed = 18, CE_LedStateFailed = 19, CE_ThreadCreated = 20,
  CE_WaitFailed = 21, CE_HasLink = 22, CE_RegError = 23, CE_PortNotOpen = 24
};

// Text of an error number (1..24); "" for any other number.
const char *ComErrorText(int code);

class EComPort : public std::runtime_error {
 public:
  // SystemError -1: no OS code; a code > 0 is appended as " (Error: %d)".
  EComPort(int errorCode, int systemError = -1);
  int ErrorCode;
  int SystemError;
};

// An OS error of a read or write that means the device itself is gone
// (unplugged, hung up, removed), not that one transfer failed.
bool IsLineGoneError(int osError);

class TCustomComPort;

class TComParity {
 public:
  explicit TComParity(TCustomComPort *port) : Port(port) {}
  TParityBits Bits() const { return FBits; }
  void SetBits(TParityBits v);
  bool Check() const { return FCheck; }
  void SetCheck(bool v);
  bool Replace() const { return FReplace; }
  void SetReplace(bool v);
  uint8_t ReplaceChar() const { return FReplaceChar; }
  void SetReplaceChar(uint8_t v);

 private:
  TCustomComPort *Port;
  TParityBits FBits = prNone;
  bool FCheck = false;
  bool FReplace = false;
  uint8_t FReplaceChar = 0;
};

class TComFlowControl {
 public:
  explicit TComFlowControl(TCustomComPort *port) : Port(port) {}
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
  TCustomComPort *Port;
  bool FOutCTSFlow = false, FOutDSRFlow = false;
  TDTRFlowControl FControlDTR = dtrDisable;
  TRTSFlowControl FControlRTS = rtsDisable;
  bool FXonXoffOut = false, FXonXoffIn = false;
  bool FDSRSensitivity = false, FTxContinueOnXoff = false;
  uint8_t FXonChar = 17, FXoffChar = 19;
};

class TComTimeouts {
 public:
  explicit TComTimeouts(TCustomComPort *port) : Port(port) {}
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
  TCustomComPort *Port;
  int32_t FReadInterval = -1, FReadTotalMultiplier = 0, FReadTotalConstant = 0;
  int32_t FWriteTotalMultiplier = 100, FWriteTotalConstant = 1000;
};

class TComBuffer {
 public:
  explicit TComBuffer(TCustomComPort *port) : Port(port) {}
  int32_t InputSize() const { return FInputSize; }
  void SetInputSize(int32_t v);
  int32_t OutputSize() const { return FOutputSize; }
  void SetOutputSize(int32_t v);

 private:
  TCustomComPort *Port;
  int32_t FInputSize = 1024, FOutputSize = 1024;
};

// The Windows device-control block the line settings map to. It has no
// meaning on POSIX; it is computed from the settings so that a Windows
// backend hands exactly this to SetCommState.
struct TDcbBlock {
  uint32_t DCBlength = 0;
  uint32_t BaudRate = 0;
  uint32_t Flags = 0;
  uint16_t XonLim = 0, XoffLim = 0;
  uint8_t ByteSize = 0, Parity = 0, StopBits = 0;
  uint8_t XonChar = 0, XoffChar = 0, ErrorChar = 0, EofChar = 0, EvtChar = 0;
};

using TRxCharEvent = std::function<void(TCustomComPort *Sender, int Count)>;
using TLineLostEvent = std::function<void(TCustomComPort *Sender, int OsError)>;

class TComThread;

class TCustomComPort : public QObject {
 public:
  explicit TCustomComPort(QObject *owner = nullptr);
  ~TCustomComPort() override;
  TCustomComPort(const TCustomComPort &) = delete;
  TCustomComPort &operator=(const TCustomComPort &) = delete;

  const std::string &Port() const { return FPort; }
  void SetPort(const std::string &name);
  TBaudRate BaudRate() const { return FBaudRate; }
  void SetBaudRate(TBaudRate v);
  int32_t CustomBaudRate() const { return FCustomBaudRate; }
  void SetCustomBaudRate(int32_t v);
  TDataBits DataBits() const { return FDataBits; }
  void SetDataBits(TDataBits v);
  TStopBits StopBits() const { return FStopBits; }
  void SetStopBits(TStopBits v);
  TComParity &Parity() { return FParity; }
  TComFlowControl &FlowControl() { return FFlowControl; }
  TComTimeouts &Timeouts() { return FTimeouts; }
  TComBuffer &Buffer() { return FBuffer; }
  bool DiscardNull() const { return FDiscardNull; }
  void SetDiscardNull(bool v);
  uint8_t EventChar() const { return FEventChar; }
  void SetEventChar(uint8_t v);
  TComEvents Events() const { return FEvents; }
  void SetEvents(TComEvents v);
  bool Connected() const { return FConnected; }

  TRxCharEvent OnRxChar;
  // The line went away under the open port: a hang-up (an unplugged adapter,
  // the other end of a pseudo-terminal closed) or a device error, seen by
  // the event thread. Called once per opening, on the GUI thread, after any
  // bytes that came before it were announced through OnRxChar. OsError is
  // what reads and writes on the line give from then on (EIO for a hang-up,
  // EBADF for a descriptor that is no longer valid). The port stays open:
  // its owner decides when to close it.
  TLineLostEvent OnLineLost;
  // True once the line was reported lost, until the next Open.
  bool LineLost() const { return FLineLost; }

  void BeginSettingsUpdate();
  void EndSettingsUpdate();
  void Open();
  void Close();
  int32_t Write(const void *buffer, int32_t count);
  int32_t Read(void *buffer, int32_t count);
  int32_t InputCount();

  // The device-control block for the current settings.
  TDcbBlock BuildDcb() const;
  // The device path a port name opens ("COMn" through the port map).
  std::string DevicePath() const;

  // Called by the settings objects when one of their values changed.
  void ApplyLineSettings();
  void ApplyTimeouts();
  void ApplyBuffer();

 private:
  friend class TComThread;
  // GUI thread, from the event thread's hand-over; lostError > 0: the line is gone.
  void HandleEvents(TComEvents events, int lostError);
  void ReadModemLines();
  bool SettingsApplicable() const { return FConnected && FUpdateCount == 0; }
  void WriteLineSettings();  // programs the open device, whatever the counter says
  void StartEventThread();
  void StopEventThread();
  void ReleaseDevice();      // exclusive mode off, lock released, descriptor closed

  std::string FPort = "COM1";
  TBaudRate FBaudRate = br9600;
  int32_t FCustomBaudRate = 9600;
  TDataBits FDataBits = dbEight;
  TStopBits FStopBits = sbOneStopBit;
  TComParity FParity{this};
  TComFlowControl FFlowControl{this};
  TComTimeouts FTimeouts{this};
  TComBuffer FBuffer{this};
  bool FDiscardNull = false;
  uint8_t FEventChar = 0;
  TComEvents FEvents = AllComEvents;
  bool FConnected = false;
  bool FLineLost = false;

  int FHandle = -1;  // the open device, -1 while closed
  int FUpdateCount = 0;
  std::unique_ptr<TComThread> FEventThread;
  bool FThreadCreated = false;
};

class TComPort : public TCustomComPort {
 public:
  using TCustomComPort::TCustomComPort;
};
