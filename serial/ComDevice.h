// The OS half of the serial port component: one device, opened, programmed,
// read and written as the portable half (TCustomComPort) says, with the
// component's error numbers. The POSIX half is PosixComDevice; a Windows
// half would sit beside it and be the one MakeComDevice returns there.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ComDcb.h"
#include "ComError.h"
#include "ComSettings.h"
#include "ComTypes.h"

class QObject;

// A set of line events, handed over on the port's thread; lostError > 0:
// the line is gone, with the error transfers give from then on.
using TComEventHandler = std::function<void(TComEvents events, int lostError)>;

class TComDevice {
 public:
  virtual ~TComDevice() = default;

  // Opens path for reading and writing, for this program alone. Raises
  // EComPort(CE_OpenFailed, OS error).
  virtual void Open(const std::string &path) = 0;
  virtual bool IsOpen() const = 0;
  // Raise EComPort 7, 8 and 9 with the OS error.
  virtual void SetLineSettings(const TDcbBlock &dcb) = 0;
  virtual void SetTimeouts(const TComTimeouts &timeouts) = 0;
  virtual void SetQueueSizes(const TComBuffer &buffer) = 0;
  // Drops what an earlier user of the line left unread.
  virtual void PurgeInput() = 0;
  // Starts waiting for events; each set is handed to handler on context's
  // thread. Raises std::system_error when the OS refuses the thread.
  virtual void StartEvents(TComEvents events, QObject *context, TComEventHandler handler) = 0;
  // Returns once nothing more will be handed over.
  virtual void StopEvents() = 0;
  virtual bool EventsRunning() const = 0;
  // Raises EComPort(CE_ModemStat) unless the device simply has no modem lines.
  virtual void ReadModemLines() = 0;
  // Lets written bytes reach the line (bounded like a write; not when the
  // line is gone), then releases the device. Never raises.
  virtual void Close(const TComTimeouts &timeouts, bool drain) = 0;
  virtual int32_t Write(const void *buffer, int32_t count, const TComTimeouts &timeouts) = 0;
  virtual int32_t Read(void *buffer, int32_t count, const TComTimeouts &timeouts, bool discardNull) = 0;
  virtual int32_t InputCount() = 0;
};

std::unique_ptr<TComDevice> MakeComDevice();
