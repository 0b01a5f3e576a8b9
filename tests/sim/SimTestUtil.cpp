#include "SimTestUtil.h"

#include "Fields.h"
#include "Frame.h"

namespace SimTest {

std::vector<TFrameOut> SplitFrames(const std::string &out) {
  std::vector<TFrameOut> frames;
  size_t i = 0;
  while (i + 6 <= out.size()) {
    // Walk the encoded payload so an escaped DLE or a run count of 0x10 is
    // not taken for the end.
    size_t j = i + 2;
    while (j + 1 < out.size()) {
      const uint8_t b = uint8_t(out[j]);
      if (b == 0x10 && uint8_t(out[j + 1]) == 0x03) break;
      j += (b == 0x10 || b == 0x00 || b == 0xFF) ? 2 : 1;
    }
    if (j + 4 > out.size()) break;
    TFrameOut f;
    f.Raw = out.substr(i, j + 4 - i);
    uint8_t buf[4096];
    const long n = Frame::DecodePayload(reinterpret_cast<const uint8_t *>(out.data() + i + 2),
                                        j - i - 2, buf, sizeof buf);
    if (n >= 0) f.Payload.assign(reinterpret_cast<char *>(buf), size_t(n));
    const uint16_t crc = uint16_t(uint8_t(out[j + 2]) << 8 | uint8_t(out[j + 3]));
    f.CrcOk = n >= 0 && Frame::Crc16(f.Payload) == crc;
    frames.push_back(f);
    i = j + 4;
  }
  return frames;
}

std::vector<TFrameOut> Send(Sim::TEngine &e, const std::string &text) {
  e.Receive(Frame::EncodeRequest(text), Sim::Clock::now());
  return SplitFrames(e.TakeOutput());
}

std::vector<TFrameOut> Ack(Sim::TEngine &e) {
  e.Receive(Frame::AckFrame(), Sim::Clock::now());
  return SplitFrames(e.TakeOutput());
}

std::vector<std::string> ReadAll(Sim::TEngine &e, const std::string &command, bool *final) {
  std::vector<std::string> lines;
  if (final) *final = false;
  auto frames = Send(e, command);
  while (frames.size() == 1) {
    if (frames[0].Raw == Frame::AckFrame()) {
      if (final) *final = true;
      break;
    }
    lines.push_back(frames[0].Payload);
    frames = Ack(e);
  }
  return lines;
}

int RefusalCode(const std::vector<TFrameOut> &f) {
  if (f.size() != 1 || f[0].Payload.size() != 2 || uint8_t(f[0].Payload[0]) != 0x15) return -1;
  return uint8_t(f[0].Payload[1]);
}

std::vector<std::string> Split(const std::string &line) {
  std::vector<std::string> out;
  for (auto f : Sim::SplitFields(line)) out.emplace_back(f);
  return out;
}

}  // namespace SimTest
