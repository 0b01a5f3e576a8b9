#include "LowLatency.h"

#include <atomic>
#include <cerrno>

#include <sys/ioctl.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

namespace {

std::atomic<TLowLatencyRequest> Request{&RequestLowLatency};

}  // namespace

int RequestLowLatency(int fd) {
#ifdef __linux__
  serial_struct info{};
  if (::ioctl(fd, TIOCGSERIAL, &info) != 0) return errno;
  if (info.flags & ASYNC_LOW_LATENCY) return 0;
  // Everything else goes back as the driver gave it, so only this flag changes.
  info.flags |= ASYNC_LOW_LATENCY;
  if (::ioctl(fd, TIOCSSERIAL, &info) != 0) return errno;
  return 0;
#else
  (void)fd;
  return ENOTTY;
#endif
}

TLowLatencyRequest SetLowLatencyRequest(TLowLatencyRequest request) {
  return Request.exchange(request ? request : &RequestLowLatency);
}

int AskForLowLatency(int fd) { return Request.load()(fd); }
