// The POSIX half of the serial port component: a terminal device opened
// with O_NOCTTY and non-blocking I/O, held for this program alone (an
// advisory lock and TIOCEXCL), programmed through termios, with the event
// thread (TComThread) waiting on it in poll().
#pragma once

#include <memory>

#include "ComDevice.h"

class TComThread;

class TPosixComDevice : public TComDevice {
 public:
  TPosixComDevice();
  ~TPosixComDevice() override;

  void Open(const std::string &path) override;
  bool IsOpen() const override { return FFd >= 0; }
  void SetLineSettings(const TDcbBlock &dcb) override;
  void SetTimeouts(const TComTimeouts &timeouts) override;
  void SetQueueSizes(const TComBuffer &buffer) override;
  void PurgeInput() override;
  void StartEvents(TComEvents events, QObject *context, TComEventHandler handler) override;
  void StopEvents() override;
  bool EventsRunning() const override { return FEventThread != nullptr; }
  void ReadModemLines() override;
  void Close(const TComTimeouts &timeouts, bool drain) override;
  int32_t Write(const void *buffer, int32_t count, const TComTimeouts &timeouts) override;
  int32_t Read(void *buffer, int32_t count, const TComTimeouts &timeouts, bool discardNull) override;
  int32_t InputCount() override;

 private:
  void Release();  // exclusive mode off, lock released, descriptor closed

  int FFd = -1;
  std::unique_ptr<TComThread> FEventThread;
};
