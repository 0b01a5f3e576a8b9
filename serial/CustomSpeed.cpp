// Arbitrary line speeds through Linux's termios2. This file keeps the kernel's
// own termios layout away from the C library's, which cannot share a unit.
#include <cerrno>
#include <cstdint>

#if defined(__linux__)
#include <asm/ioctls.h>
#include <asm/termbits.h>
extern "C" int ioctl(int fd, unsigned long request, ...);
#endif

int SetCustomSpeed(int fd, uint32_t bitsPerSecond) {
#if defined(__linux__)
  // 0 bit/s would mean "hang up"; that is never what a speed setting wants.
  if (bitsPerSecond == 0) return EINVAL;
  struct termios2 t;
  if (ioctl(fd, TCGETS2, &t) != 0) return errno;
  t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
  t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
  t.c_ospeed = bitsPerSecond;
  t.c_ispeed = bitsPerSecond;
  if (ioctl(fd, TCSETS2, &t) != 0) return errno;
  return 0;
#else
  (void)fd;
  (void)bitsPerSecond;
  return EINVAL;
#endif
}

int GetLineSpeed(int fd, uint32_t *bitsPerSecond) {
#if defined(__linux__)
  struct termios2 t;
  if (ioctl(fd, TCGETS2, &t) != 0) return errno;
  *bitsPerSecond = t.c_ospeed;
  return 0;
#else
  (void)fd;
  (void)bitsPerSecond;
  return EINVAL;
#endif
}
