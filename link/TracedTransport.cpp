#include "TracedTransport.h"

TTracedTransport::TTracedTransport(std::unique_ptr<TTransport> inner) : FInner(std::move(inner)) {
  FInner->OnReceived = [this](const uint8_t *data, size_t size) {
    if (OnReceived) OnReceived(data, size);
  };
  FInner->OnLineLost = [this](int osError) {
    if (OnLineLost) OnLineLost(osError);
  };
}

void TTracedTransport::Write(const void *data, size_t size) {
  // Traced first: a frame that fails on the way was still what the link sent.
  if (FTrace) FTrace->Sent({static_cast<const char *>(data), size});
  FInner->Write(data, size);
}
