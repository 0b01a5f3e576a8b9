#include "MemoryPeer.h"

#include <atomic>
#include <chrono>

TMemoryPeer::TMemoryPeer() {
  static std::atomic<int> count{0};
  FName = "link-test-" + std::to_string(++count);
  FLine = TMemoryLine::Make(FName);
  // On the link's thread, inside its write: only queued here.
  FLine->OnWritten = [this](const std::string &bytes) {
    {
      std::lock_guard<std::mutex> g(FLock);
      FWritten += bytes;
    }
    FArrived.notify_one();
  };
}

TMemoryPeer::~TMemoryPeer() {
  Finish();
  FLine.reset();
}

void TMemoryPeer::HangUp() { FLine->HangUp(); }

std::string TMemoryPeer::Take() {
  std::unique_lock<std::mutex> lock(FLock);
  FArrived.wait_for(lock, std::chrono::milliseconds(20), [&] { return !FWritten.empty(); });
  std::string bytes;
  bytes.swap(FWritten);
  return bytes;
}
