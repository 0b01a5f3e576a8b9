#include "ComTypes.h"

int BaudRateValue(TBaudRate rate) {
  static const int Rates[] = {0,     110,   300,   600,   1200,   2400,   4800,   9600,
                              14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
  if (rate < brCustom || rate > br256000) return 0;
  return Rates[rate];
}

// OS event bits in TComEvent order.
static const uint32_t EventMaskBits[] = {0x0001, 0x0004, 0x0002, 0x0100, 0x0040,
                                         0x0008, 0x0010, 0x0080, 0x0020, 0x0400};

uint32_t EventsToMask(TComEvents events) {
  uint32_t mask = 0;
  for (int e = evRxChar; e <= evRx80Full; ++e)
    if (events & ComEventBit(TComEvent(e))) mask |= EventMaskBits[e];
  return mask;
}

TComEvents MaskToEvents(uint32_t mask) {
  TComEvents events = 0;
  for (int e = evRxChar; e <= evRx80Full; ++e)
    if (mask & EventMaskBits[e]) events |= ComEventBit(TComEvent(e));
  return events;
}
