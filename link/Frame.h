// The register's byte envelope: DLE STX payload DLE ETX CRC-high CRC-low.
//
// Pure functions and a bounded receive state, free of any I/O, so that the
// link, the simulator, the fuzz targets and the benchmarks share one
// definition of the wire format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Frame {

constexpr uint8_t DLE = 0x10, STX = 0x02, ETX = 0x03, ACK = 0x06, NAK = 0x15;
constexpr size_t BufferSize = 1000;              // every link buffer
constexpr size_t MaxCommandText = BufferSize - 6; // 994

// CRC-16/MODBUS computed four bits at a time with the 16-entry table.
uint16_t Crc16(const void *data, size_t len);
inline uint16_t Crc16(std::string_view s) { return Crc16(s.data(), s.size()); }

// Computer to register: the text as it is, no escaping.
std::string EncodeRequest(std::string_view text);

// Register to computer: 0x10 x -> 0x10, 0x00 c -> c zeros, 0xFF c -> c 0xFF.
// Decodes into out (capacity outCap). Returns the decoded length, or -1 when
// the decoded payload would not fit. A DLE as the last raw byte still gives
// one DLE; a run marker as the last raw byte has no count and adds nothing
// (its count would be the frame's closing DLE, which is not payload).
long DecodePayload(const uint8_t *raw, size_t rawLen, uint8_t *out, size_t outCap);

// Encodes a payload the way the register sends it (DLE doubled, runs of 0x00
// and 0xFF compressed) and frames it with the CRC of the plain payload.
std::string EncodeAnswer(std::string_view payload);

// The acknowledgement the computer sends after each data frame of a read.
inline const std::string &AckFrame() {
  static const std::string f("\x10\x02\x06\x10\x03\x42\x3F", 7);
  return f;
}

// A buffer is a complete frame when it is at least six bytes, starts DLE STX
// and its last four bytes are DLE ETX and two more.
bool IsComplete(const uint8_t *buf, size_t len);

}  // namespace Frame
