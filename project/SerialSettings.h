// A project's serial settings: the COM port and the baud rate in the
// project's "setari.cds", and the one table of baud-rate codes the program
// uses everywhere (1 = 19200, 2 = 38400, 3 = 57600 bit/s).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ComPort.h"

class TRecordSet;

struct TSerialSettings {
  int32_t Port = 0;  // COM number; 0 for a missing or unreadable value
  int32_t Baud = 0;  // baud code 1..3; anything else falls back to 57600
};

// bit/s of a baud code (19200, 38400, 57600), 0 for any other code.
int BaudBitsOfCode(int32_t code);
// The code of a speed in bit/s, 0 when the speed is not one of the three.
int32_t BaudCodeOfBits(int bits);
// The link's rate for a code; any other code gives `fallback`.
TBaudRate BaudRateOfCode(int32_t code, TBaudRate fallback = br57600);

// Port and Baud of the first record of a settings table; 0 for a missing
// field, an empty value, a value that is no number or an empty table.
TSerialSettings ReadSerialSettings(const TRecordSet &table);

// The project's settings file: nothing when the project has none; throws
// ETableFile when it exists but cannot be read.
std::optional<TSerialSettings> LoadSerialSettings(const std::string &projectDir);
// Replaces the project's settings file with one record; throws ETableFile.
void SaveSerialSettings(const std::string &projectDir, const TSerialSettings &s);
