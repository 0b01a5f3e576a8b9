// Arbitrary chunks through the link's receive state, in both modes, handled
// the way the read and write exchanges handle them; plus the answer codec.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Frame.h"
#include "Receiver.h"

using namespace Frame;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckInvariants(const TReceiver &rx, bool writeMode) {
  Check(rx.RxCount >= 0 && size_t(rx.RxCount) <= BufferSize);
  Check(rx.AnswerLength >= 0 && size_t(rx.AnswerLength) <= BufferSize);
  Check(rx.HeldBytes() <= BufferSize);
  if (rx.FrameReady && !writeMode) {
    // A read only ever takes a frame whose CRC matches its decoded payload.
    const uint16_t crc = uint16_t(rx.RxBuffer[rx.RxCount - 2] << 8 | rx.RxBuffer[rx.RxCount - 1]);
    Check(Crc16(rx.Answer, size_t(rx.AnswerLength)) == crc);
  }
  // A refusal is a write-mode frame with a good CRC that starts with NAK, and
  // never an acceptance at the same time.
  if (rx.Refused) Check(writeMode && rx.CrcOk && !rx.FrameReady && rx.Answer[0] == NAK);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  const bool writeMode = data[0] & 1;
  const bool bigChunks = data[0] & 2;
  ++data;
  --size;

  TReceiver rx;
  size_t i = 0;
  while (i < size) {
    // Each chunk is preceded by its length (scaled up for big chunks, so the
    // overflow paths are reached too).
    size_t len = data[i++];
    if (bigChunks) len *= 8;
    len = std::min(len, size - i);
    rx.Feed(data + i, len, writeMode);
    i += len;
    CheckInvariants(rx, writeMode);
    if (rx.Overflow) rx.Reset();  // the link ends the exchange; the next starts afresh
    if (rx.FrameReady && !writeMode && !rx.Final()) {
      (void)rx.AnswerText();
      rx.NextFrame(writeMode);
      CheckInvariants(rx, writeMode);
    } else if (rx.FrameReady || rx.Refused) {
      rx.Reset();
    }
  }

  // Whatever the register could send comes back unchanged through the codec.
  const std::string payload(reinterpret_cast<const char *>(data), std::min(size, BufferSize));
  const std::string frame = EncodeAnswer(payload);
  Check(IsComplete(reinterpret_cast<const uint8_t *>(frame.data()), frame.size()));
  uint8_t out[BufferSize];
  const long n = DecodePayload(reinterpret_cast<const uint8_t *>(frame.data()) + 2, frame.size() - 6, out,
                               sizeof out);
  Check(n == long(payload.size()) && std::memcmp(out, payload.data(), payload.size()) == 0);
  return 0;
}
