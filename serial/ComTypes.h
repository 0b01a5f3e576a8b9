// The serial port component's enumerations and event sets, with the values
// the Windows line-settings block and event mask give them. Portable.
#pragma once

#include <cstdint>

enum TBaudRate {
  brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
  br19200, br38400, br56000, br57600, br115200, br128000, br256000
};
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum TComEvent {
  evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full
};

// A set of TComEvent: bit n stands for member n.
using TComEvents = uint16_t;
constexpr TComEvents ComEventBit(TComEvent e) { return TComEvents(1u << e); }
constexpr TComEvents AllComEvents = 0x03FF;

// bit/s of a TBaudRate; brCustom gives 0 (the caller uses CustomBaudRate).
int BaudRateValue(TBaudRate rate);
// OS event mask of a set and back (EV_RXCHAR 0x0001 ... EV_RX80FULL 0x0400).
uint32_t EventsToMask(TComEvents events);
TComEvents MaskToEvents(uint32_t mask);
