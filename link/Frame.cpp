#include "Frame.h"

namespace Frame {

namespace {

// Nibble table of the reflected polynomial 0xA001: the register's firmware
// and the old link both work four bits at a time, and so do we.
constexpr uint16_t CrcTable[16] = {
    0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
    0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400};

void AppendCrc(std::string &out, uint16_t crc) {
  out.push_back(char(crc >> 8));  // high byte first
  out.push_back(char(crc & 0xFF));
}

}  // namespace

uint16_t Crc16(const void *data, size_t len) {
  const auto *p = static_cast<const uint8_t *>(data);
  uint16_t crc = 0xFFFF;
  for (size_t i = 0; i < len; ++i) {
    const uint8_t b = p[i];
    crc = uint16_t(CrcTable[(crc ^ b) & 0x0F] ^ (crc >> 4));
    crc = uint16_t(CrcTable[(crc ^ (b >> 4)) & 0x0F] ^ (crc >> 4));
  }
  return crc;
}

std::string EncodeRequest(std::string_view text) {
  std::string f;
  f.reserve(text.size() + 6);
  f.push_back(char(DLE));
  f.push_back(char(STX));
  f.append(text);
  f.push_back(char(DLE));
  f.push_back(char(ETX));
  AppendCrc(f, Crc16(text));
  return f;
}

long DecodePayload(const uint8_t *raw, size_t rawLen, uint8_t *out, size_t outCap) {
  size_t n = 0;
  size_t i = 0;
  while (i < rawLen) {
    const uint8_t b = raw[i];
    if (b == DLE) {
      // The byte after an escaping DLE is skipped unseen; a DLE that ends the
      // payload still stands for one DLE.
      if (n >= outCap) return -1;
      out[n++] = DLE;
      i += 2;
    } else if (b == 0x00 || b == 0xFF) {
      // A run marker whose count would lie beyond the payload counts as an
      // empty run: the count byte is not there to be read.
      const size_t count = (i + 1 < rawLen) ? raw[i + 1] : 0;
      if (count > outCap - n) return -1;
      for (size_t k = 0; k < count; ++k) out[n++] = b;
      i += 2;
    } else {
      if (n >= outCap) return -1;
      out[n++] = b;
      i += 1;
    }
  }
  return long(n);
}

std::string EncodeAnswer(std::string_view payload) {
  std::string f;
  f.reserve(payload.size() + 8);
  f.push_back(char(DLE));
  f.push_back(char(STX));
  for (size_t i = 0; i < payload.size();) {
    const uint8_t b = uint8_t(payload[i]);
    if (b == DLE) {
      f.push_back(char(DLE));
      f.push_back(char(DLE));
      ++i;
    } else if (b == 0x00 || b == 0xFF) {
      size_t run = 1;
      while (i + run < payload.size() && uint8_t(payload[i + run]) == b && run < 255) ++run;
      f.push_back(char(b));
      f.push_back(char(run));
      i += run;
    } else {
      f.push_back(char(b));
      ++i;
    }
  }
  f.push_back(char(DLE));
  f.push_back(char(ETX));
  AppendCrc(f, Crc16(payload));
  return f;
}

bool IsComplete(const uint8_t *buf, size_t len) {
  return len >= 6 && buf[0] == DLE && buf[1] == STX && buf[len - 4] == DLE &&
         buf[len - 3] == ETX;
}

}  // namespace Frame
