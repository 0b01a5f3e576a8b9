// termios for the line settings block.
#include "PosixLine.h"


#include <cerrno>
#include <sys/ioctl.h>
#include <termios.h>

#include "ComError.h"

namespace {

// The termios constant for a speed, or B0 when termios has none.
speed_t StandardSpeed(uint32_t bps) {
  switch (bps) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
#ifdef B460800
    case 460800: return B460800;
    case 500000: return B500000;
    case 576000: return B576000;
    case 921600: return B921600;
    case 1000000: return B1000000;
#endif
    default: return B0;
  }
}

// Raise or lower one modem line; devices without modem lines are fine.
int SetModemLine(int fd, int line, bool raised) {
  if (ioctl(fd, raised ? TIOCMBIS : TIOCMBIC, &line) == 0) return 0;
  return IsMissingModemLines(errno) ? 0 : errno;
}

}  // namespace

bool IsMissingModemLines(int err) { return err == ENOTTY || err == EINVAL || err == EOPNOTSUPP; }

int SetPosixLineSettings(int fd, const TDcbBlock &dcb) {
  termios t;
  if (tcgetattr(fd, &t) != 0) return errno;

  // Raw bytes both ways: the register's frames are binary and must reach
  // the link unchanged (no CR/LF mapping, no echo, no signal characters).
  cfmakeraw(&t);
  t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | ISTRIP);
  t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
  t.c_cflag &= ~tcflag_t(CMSPAR);
#endif
  // CLOCAL: the register drives no carrier line, so never wait for one.
  t.c_cflag |= CLOCAL | CREAD;

  switch (dcb.ByteSize) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return EINVAL;
  }
  switch (dcb.Parity) {
    case prNone: break;
    case prOdd: t.c_cflag |= PARENB | PARODD; break;
    case prEven: t.c_cflag |= PARENB; break;
#ifdef CMSPAR
    case prMark: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case prSpace: t.c_cflag |= PARENB | CMSPAR; break;
#endif
    default: return EINVAL;
  }
  switch (dcb.StopBits) {
    case sbOneStopBit: break;
    // With five data bits a UART sends one and a half stop bits for CSTOPB.
    case sbOne5StopBits:
    case sbTwoStopBits: t.c_cflag |= CSTOPB; break;
    default: return EINVAL;
  }
  if (dcb.Flags & DcbFlag::Parity) t.c_iflag |= INPCK;

  // Linux has one hardware handshake: CTS gates output and RTS signals
  // input readiness together.
  const uint32_t rts = dcb.Flags & DcbFlag::RtsControlMask;
  if ((dcb.Flags & DcbFlag::OutxCtsFlow) || rts == 0x2000) t.c_cflag |= CRTSCTS;
  if (dcb.Flags & DcbFlag::OutX) t.c_iflag |= IXON;
  if (dcb.Flags & DcbFlag::InX) t.c_iflag |= IXOFF;
  t.c_cc[VSTART] = cc_t(dcb.XonChar);
  t.c_cc[VSTOP] = cc_t(dcb.XoffChar);
  // The descriptor is non-blocking; reads return what is queued.
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;

  const speed_t speed = StandardSpeed(dcb.BaudRate);
  const bool custom = speed == B0;
  if (cfsetispeed(&t, custom ? B38400 : speed) != 0) return errno;
  if (cfsetospeed(&t, custom ? B38400 : speed) != 0) return errno;
  if (tcsetattr(fd, TCSANOW, &t) != 0) return errno;
  if (custom) {
    if (int err = SetCustomSpeed(fd, dcb.BaudRate)) return err;
  }

  // DTR: raised for enable and for handshake (Linux has no DTR handshake,
  // and a peer waiting for DTR must still see it).
  const uint32_t dtr = dcb.Flags & DcbFlag::DtrControlMask;
  if (int err = SetModemLine(fd, TIOCM_DTR, dtr != 0)) return err;
  // RTS: with handshake the driver owns the line; toggle idles low.
  if (rts != 0x2000) {
    if (int err = SetModemLine(fd, TIOCM_RTS, rts == 0x1000)) return err;
  }
  return 0;
}

bool IsLineGoneError(int osError) { return osError == EIO || osError == ENXIO || osError == ENODEV; }
