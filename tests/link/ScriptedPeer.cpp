#include "ScriptedPeer.h"

#include <chrono>

void TScriptedPeer::Start(TScript script) {
  FScript = std::move(script);
  FThread = std::thread([this] { Run(); });
}

void TScriptedPeer::Stop() {
  FStop = true;
  if (FThread.joinable() && !OnPeerThread()) FThread.join();
}

void TScriptedPeer::SendSlowly(const std::string &bytes, int pauseMs, size_t piece) {
  for (size_t i = 0; i < bytes.size(); i += piece) {
    Send(bytes.substr(i, piece));
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
  }
}

std::vector<std::string> TScriptedPeer::Frames() {
  std::lock_guard<std::mutex> g(FLock);
  return FFrames;
}

std::string TScriptedPeer::Wire() {
  std::lock_guard<std::mutex> g(FLock);
  return FWire;
}

void TScriptedPeer::Run() {
  while (!FStop) {
    const std::string bytes = Take();
    if (bytes.empty()) continue;
    std::vector<std::string> complete;
    {
      std::lock_guard<std::mutex> g(FLock);
      FWire += bytes;
      FPending += bytes;
      // The computer never escapes its payload and never sends 0x10 inside
      // it, so the first DLE ETX ends a frame; two CRC bytes follow.
      for (;;) {
        const size_t end = FPending.find("\x10\x03", 2);
        if (end == std::string::npos || FPending.size() < end + 4) break;
        complete.push_back(FPending.substr(0, end + 4));
        FPending.erase(0, end + 4);
      }
      FFrames.insert(FFrames.end(), complete.begin(), complete.end());
    }
    for (const std::string &f : complete)
      if (FScript) FScript(f, *this);
  }
}

void TPtyScriptedPeer::HangUp() {
  if (OnPeerThread()) {
    FHangUp = true;
    return;
  }
  Stop();
  FPty.CloseMaster();
}

std::string TPtyScriptedPeer::Take() {
  if (FHangUp) {
    FPty.CloseMaster();
    FStop = true;
    return "";
  }
  return FPty.Take();
}
