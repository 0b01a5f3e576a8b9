#include "PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <stdexcept>

TPtyPeer::TPtyPeer() {
  char name[256] = {};
  if (openpty(&FMaster, &FSlave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
  FSlavePath = name;
  // Our own slave descriptor stays open so the master never sees a hang-up
  // while the link closes and reopens the device.
}

TPtyPeer::~TPtyPeer() {
  Finish();
  if (FMaster >= 0) close(FMaster);
  close(FSlave);
}

void TPtyPeer::HangUp() {
  if (OnPeerThread()) {
    FHangUp = true;
    return;
  }
  Stop();
  if (FMaster >= 0) close(FMaster);
  FMaster = -1;
}

void TPtyPeer::Send(const std::string &bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(FMaster, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += size_t(n);
  }
}

std::string TPtyPeer::Take() {
  if (FHangUp) {
    close(FMaster);
    FMaster = -1;
    FStop = true;
    return "";
  }
  pollfd p{FMaster, POLLIN, 0};
  if (poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) return "";
  char buf[4096];
  const ssize_t n = read(FMaster, buf, sizeof buf);
  return n > 0 ? std::string(buf, size_t(n)) : std::string();
}
