// The seam where the frame trace is written: every byte the link puts on
// the line passes here, whichever transport carries it, and goes to the
// trace as a "pc>" line before it is written. What the register sent is
// traced by the link as it takes whole frames (LinkEngine), since only the
// link knows where a frame ends.
#pragma once

#include <memory>

#include "LinkTrace.h"
#include "Transport.h"

class TTracedTransport : public TTransport {
 public:
  explicit TTracedTransport(std::unique_ptr<TTransport> inner);

  // null: nothing is written.
  void SetTrace(std::shared_ptr<TLinkTrace> trace) { FTrace = std::move(trace); }

  void Open(TBaudRate baud) override { FInner->Open(baud); }
  void Close() override { FInner->Close(); }
  bool Connected() const override { return FInner->Connected(); }
  void Write(const void *data, size_t size) override;
  std::string Name() const override { return FInner->Name(); }

 private:
  std::unique_ptr<TTransport> FInner;
  std::shared_ptr<TLinkTrace> FTrace;
};
