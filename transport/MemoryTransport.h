// memory://NAME: a line that lives in this process, for tests and for
// playing a recorded trace back. The far end (TMemoryLine) is made under a
// name; a link whose device is "memory://NAME" opens the near end
// (TMemoryTransport). What the link writes reaches the far end's OnWritten,
// on the writer's thread, as it is written; what the far end sends reaches
// the link on the link's own thread, as a serial port's bytes do, never
// inside the call that sent them.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "Transport.h"

class QObject;

class TMemoryLine {
 public:
  // The line is known under name while the returned object lives; a second
  // line of the same name replaces the first for links that open later.
  static std::shared_ptr<TMemoryLine> Make(const std::string &name);
  ~TMemoryLine();
  TMemoryLine(const TMemoryLine &) = delete;
  TMemoryLine &operator=(const TMemoryLine &) = delete;

  // Bytes the link wrote, called on the link's thread.
  std::function<void(const std::string &bytes)> OnWritten;
  // To the link, if it is open: delivered later on its thread.
  void Send(const std::string &bytes);
  // The far end goes away, as an unplugged adapter does: the open link is
  // told (once), its writes fail with osError, and a new opening is refused
  // until Restore.
  void HangUp(int osError = 5);
  void Restore();
  bool LinkOpen() const;

  struct TState;

 private:
  TMemoryLine();
  std::shared_ptr<TState> FState;
};

class TMemoryTransport : public TTransport {
 public:
  explicit TMemoryTransport(std::string url);
  ~TMemoryTransport() override;

  void Open(TBaudRate baud) override;
  void Close() override;
  bool Connected() const override;
  void Write(const void *data, size_t size) override;
  std::string Name() const override { return FUrl; }

 private:
  std::string FUrl;
  std::shared_ptr<TMemoryLine::TState> FState;  // of the line it opened
  QObject *FContext = nullptr;                  // lives on the opening thread
};
