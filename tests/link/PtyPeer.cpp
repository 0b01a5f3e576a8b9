#include "PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

TPtyPeer::TPtyPeer() {
  char name[256] = {};
  if (openpty(&FMaster, &FSlave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
  FSlavePath = name;
  // Our own slave descriptor stays open so the master never sees a hang-up
  // while the link closes and reopens the device.
}

TPtyPeer::~TPtyPeer() {
  Stop();
  if (FMaster >= 0) close(FMaster);
  close(FSlave);
}

void TPtyPeer::HangUp() {
  if (FThread.joinable() && std::this_thread::get_id() == FThread.get_id()) {
    FHangUp = true;
    return;
  }
  Stop();
  if (FMaster >= 0) close(FMaster);
  FMaster = -1;
}

void TPtyPeer::Start(TScript script) {
  FScript = std::move(script);
  FThread = std::thread([this] { Run(); });
}

void TPtyPeer::Stop() {
  FStop = true;
  if (FThread.joinable()) FThread.join();
}

void TPtyPeer::Send(const std::string &bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(FMaster, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += size_t(n);
  }
}

void TPtyPeer::SendSlowly(const std::string &bytes, int pauseMs, size_t piece) {
  for (size_t i = 0; i < bytes.size(); i += piece) {
    Send(bytes.substr(i, piece));
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
  }
}

std::vector<std::string> TPtyPeer::Frames() {
  std::lock_guard<std::mutex> g(FLock);
  return FFrames;
}

std::string TPtyPeer::Wire() {
  std::lock_guard<std::mutex> g(FLock);
  return FWire;
}

void TPtyPeer::Run() {
  char buf[4096];
  while (!FStop) {
    if (FHangUp) {
      close(FMaster);
      FMaster = -1;
      return;
    }
    pollfd p{FMaster, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) continue;
    const ssize_t n = read(FMaster, buf, sizeof buf);
    if (n <= 0) continue;
    std::vector<std::string> complete;
    {
      std::lock_guard<std::mutex> g(FLock);
      FWire.append(buf, size_t(n));
      FPending.append(buf, size_t(n));
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
