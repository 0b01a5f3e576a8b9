// The POSIX side of the line settings: a device-control block in the Windows
// layout goes in, termios and modem-line calls come out. Keeping the block as
// the one description of the line means both backends program the same line.
#pragma once

#include <cstdint>

#include "ComPort.h"

// Bits of the block's flags word.
namespace DcbFlag {
constexpr uint32_t Binary = 0x0001;
constexpr uint32_t Parity = 0x0002;
constexpr uint32_t OutxCtsFlow = 0x0004;
constexpr uint32_t OutxDsrFlow = 0x0008;
constexpr uint32_t DtrControlMask = 0x0030;
constexpr uint32_t DsrSensitivity = 0x0040;
constexpr uint32_t TXContinueOnXoff = 0x0080;
constexpr uint32_t OutX = 0x0100;
constexpr uint32_t InX = 0x0200;
constexpr uint32_t ErrorChar = 0x0400;
constexpr uint32_t Null = 0x0800;
constexpr uint32_t RtsControlMask = 0x3000;
}  // namespace DcbFlag

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
