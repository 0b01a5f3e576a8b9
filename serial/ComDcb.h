// The Windows device-control block the line settings map to: the one
// description of the line that every OS half programs from (SetCommState
// takes it as it is; POSIX turns it into termios). Portable.
#pragma once

#include <cstdint>

#include "ComSettings.h"
#include "ComTypes.h"

struct TDcbBlock {
  uint32_t DCBlength = 0;
  uint32_t BaudRate = 0;
  uint32_t Flags = 0;
  uint16_t XonLim = 0, XoffLim = 0;
  uint8_t ByteSize = 0, Parity = 0, StopBits = 0;
  uint8_t XonChar = 0, XoffChar = 0, ErrorChar = 0, EofChar = 0, EvtChar = 0;
};

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

// What goes into the block, besides the settings objects.
struct TLineValues {
  uint32_t BitsPerSecond = 0;
  TDataBits DataBits = dbEight;
  TStopBits StopBits = sbOneStopBit;
  bool DiscardNull = false;
  uint8_t EventChar = 0;
};

TDcbBlock BuildDcbBlock(const TLineValues &line, const TComParity &parity, const TComFlowControl &flow,
                        const TComBuffer &buffer);
