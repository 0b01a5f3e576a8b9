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
//
// This class is the portable half: settings, the order of opening and
// closing, the handling of line events. What touches the OS is a TComDevice
// (ComDevice.h), POSIX today (PosixComDevice).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QObject>

#include "ComDcb.h"
#include "ComError.h"
#include "ComSettings.h"
#include "ComTypes.h"

class TComDevice;
class TCustomComPort;

using TRxCharEvent = std::function<void(TCustomComPort *Sender, int Count)>;
using TLineLostEvent = std::function<void(TCustomComPort *Sender, int OsError)>;

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

  // Re-apply a group of settings to an open port (the settings objects ask
  // for this when one of their values changed).
  void ApplyLineSettings();
  void ApplyTimeouts();
  void ApplyBuffer();

 private:
  // GUI thread, from the event thread's hand-over; lostError > 0: the line is gone.
  void HandleEvents(TComEvents events, int lostError);
  bool SettingsApplicable() const { return FConnected && FUpdateCount == 0; }
  void WriteLineSettings();  // programs the open device, whatever the counter says
  void StartEventThread();
  void StopEventThread();
  void ReleaseDevice();

  std::string FPort = "COM1";
  TBaudRate FBaudRate = br9600;
  int32_t FCustomBaudRate = 9600;
  TDataBits FDataBits = dbEight;
  TStopBits FStopBits = sbOneStopBit;
  void ApplyGroup(TComGroup group);
  TComParity FParity{[this](TComGroup g) { ApplyGroup(g); }};
  TComFlowControl FFlowControl{[this](TComGroup g) { ApplyGroup(g); }};
  TComTimeouts FTimeouts{[this](TComGroup g) { ApplyGroup(g); }};
  TComBuffer FBuffer{[this](TComGroup g) { ApplyGroup(g); }};
  bool FDiscardNull = false;
  uint8_t FEventChar = 0;
  TComEvents FEvents = AllComEvents;
  bool FConnected = false;
  bool FLineLost = false;

  std::unique_ptr<TComDevice> FDevice;  // the OS half; open while connected
  int FUpdateCount = 0;
  bool FThreadCreated = false;
};

class TComPort : public TCustomComPort {
 public:
  using TCustomComPort::TCustomComPort;
};
