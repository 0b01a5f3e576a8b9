// The POSIX side of the line settings: a device-control block in the Windows
// layout goes in, termios and modem-line calls come out. Keeping the block as
// the one description of the line means both backends program the same line.
#pragma once

#include <cstdint>

#include "ComDcb.h"


// Programs the terminal behind fd from the block: raw mode, speed, character
// format, flow control, DTR and RTS. Returns 0 or the errno of the call that
// failed; modem-line calls the device does not support are not failures.
int SetPosixLineSettings(int fd, const TDcbBlock &dcb);

// A modem-line ioctl failed only because the device has no modem lines
// (pseudo-terminals, some USB adapters).
bool IsMissingModemLines(int err);

// Speeds termios has no constant for (Linux termios2). 0 or an errno.
int SetCustomSpeed(int fd, uint32_t bitsPerSecond);
int GetLineSpeed(int fd, uint32_t *bitsPerSecond);
