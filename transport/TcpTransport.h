// tcp://HOST:PORT: the register's line carried by a serial device server
// over a raw TCP connection. The server owns the line's settings; bytes go
// through unchanged both ways.
//
// Received bytes are read on the thread that opened the connection (the
// link's), through a socket notifier of its event loop. A connection the
// server closes or resets, or a peer that stops answering the keep-alive
// probes, is the line's loss, said once.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "NetAddress.h"
#include "Transport.h"

class QSocketNotifier;

class TTcpTransport : public TTransport {
 public:
  TTcpTransport(std::string url, TNetAddress address);
  ~TTcpTransport() override;

  void Open(TBaudRate baud) override;
  void Close() override;
  bool Connected() const override { return FFd >= 0; }
  void Write(const void *data, size_t size) override;
  std::string Name() const override { return FUrl; }

 protected:
  using TClock = std::chrono::steady_clock;
  // A protocol spoken on the fresh connection before the first frame, on
  // the opening thread, until deadline. Throws ETransport. Raw TCP only
  // watches a moment for a server that refuses the connection in words.
  virtual void Negotiate(TBaudRate baud, TClock::time_point deadline);
  // Bytes from the server: handed on as they are by default.
  virtual void Incoming(const uint8_t *data, size_t size);
  // What goes on the connection for the link's bytes: the bytes by default.
  virtual std::string Outgoing(const void *data, size_t size);

  // Sends every byte or throws ETransport (the line's loss, or a server that
  // takes nothing for five seconds).
  void SendRaw(const std::string &bytes);
  // Waits up to deadline for bytes; returns how many were read (0: none
  // came, or the server closed the connection, then Gone() says so).
  size_t ReceiveRaw(uint8_t *buffer, size_t size, TClock::time_point deadline);
  bool Gone() const { return FLostError != 0; }
  // The reason for a server that closed the connection as it opened, with
  // what it said before (its refusal, in its own words).
  std::string ClosedAtOpening(const std::string &said) const;
  const std::string &Url() const { return FUrl; }
  const TNetAddress &Address() const { return FAddress; }

 private:
  void ReadReady();
  void Lose(int osError);

  std::string FUrl;
  TNetAddress FAddress;
  int FFd = -1;
  std::unique_ptr<QSocketNotifier> FNotifier;
  int FLostError = 0;
  bool FLossSaid = false;
};
