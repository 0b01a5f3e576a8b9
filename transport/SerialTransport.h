// The serial port as a transport: the component under it keeps its own
// settings, event thread and errors; this only turns its receive
// notifications into bytes.
#pragma once

#include <memory>

#include "ComPort.h"
#include "Transport.h"

class TSerialTransport : public TTransport {
 public:
  // port: "COMn" (through the port map) or a device path.
  explicit TSerialTransport(std::string port);
  ~TSerialTransport() override;

  void Open(TBaudRate baud) override;
  void Close() override;
  bool Connected() const override;
  void Write(const void *data, size_t size) override;
  std::string Name() const override;

 private:
  void TakeBytes(int count);
  std::unique_ptr<TComPort> FPort;
};
