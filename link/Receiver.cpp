#include "Receiver.h"

#include <algorithm>
#include <cstring>

using namespace Frame;

void TReceiver::ClearBuffer() {
  FrameReady = false;
  Refused = false;
  Overflow = false;
  CrcOk = false;
  std::memset(RxBuffer, 0, sizeof RxBuffer);
  RxCount = 0;
}

void TReceiver::Reset() {
  ClearBuffer();
  FHeld.clear();
}

void TReceiver::NextFrame(bool writeMode) {
  ClearBuffer();
  std::string held;
  held.swap(FHeld);
  if (!held.empty()) Feed(reinterpret_cast<const uint8_t *>(held.data()), held.size(), writeMode);
}

void TReceiver::Feed(const uint8_t *data, size_t len, bool writeMode) {
  if (Overflow || len == 0) return;
  if (FrameReady || Refused) {
    if (len > BufferSize - FHeld.size())
      Overflow = true;
    else
      FHeld.append(reinterpret_cast<const char *>(data), len);
    return;
  }
  if (len > BufferSize - size_t(RxCount)) {
    Overflow = true;
    return;
  }
  std::memcpy(RxBuffer + RxCount, data, len);
  RxCount += int32_t(len);
  Examine(writeMode);
}

void TReceiver::Examine(bool writeMode) {
  if (!IsComplete(RxBuffer, size_t(RxCount))) return;

  std::memset(Answer, 0, sizeof Answer);
  const long decoded = DecodePayload(RxBuffer + 2, size_t(RxCount) - 6, Answer, BufferSize);
  if (decoded < 0) {
    // Every later frame that starts here decodes to at least as much.
    std::memset(Answer, 0, sizeof Answer);
    Overflow = true;
    return;
  }
  const uint16_t received = uint16_t(RxBuffer[RxCount - 2] << 8 | RxBuffer[RxCount - 1]);
  CrcOk = Crc16(Answer, size_t(decoded)) == received;

  if (!writeMode) {
    // A bad frame stays where it is; later bytes are appended behind it and
    // the read ends by silence.
    FrameReady = CrcOk;
    if (FrameReady) AnswerLength = int32_t(decoded);
    return;
  }

  // Write mode: the acknowledgement sequence decides, the CRC does not. The
  // scan covers DLE STX and the raw payload, up to the closing DLE ETX, so
  // that the bare acknowledgement frame 10 02 06 10 03 42 3F counts.
  std::memset(AckScan, 0, sizeof AckScan);
  const size_t scanLen = size_t(RxCount) - 4;
  std::memcpy(AckScan, RxBuffer, scanLen);
  static const uint8_t seq[3] = {DLE, STX, ACK};
  FrameReady = std::search(AckScan, AckScan + scanLen, seq, seq + 3) != AckScan + scanLen;
  if (FrameReady) {
    AnswerLength = CrcOk ? int32_t(decoded) : 0;
    return;
  }
  // A refusal ends the write at once: waiting for silence after it would
  // only hide the register's reason behind a time-out. The CRC must match,
  // or line noise that happens to start with 15 could pass for one.
  Refused = CrcOk && decoded >= 1 && Answer[0] == NAK;
  if (Refused) AnswerLength = int32_t(decoded);
}
