// The receive state of the link: raw bytes as they arrive, the decoded answer
// and the acceptance test, without any I/O so that the fuzz targets and the
// tests run exactly the code the link runs.
//
// The buffers are the link's fixed 1000-byte arrays. Nothing is ever written
// past them: a chunk or an accumulation that would not fit, or an answer that
// decodes to more than 1000 bytes, sets Overflow and the receiver ignores
// every further byte until the next Reset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Frame.h"

class TReceiver {
 public:
  TReceiver() { Reset(); }

  uint8_t RxBuffer[Frame::BufferSize];  // raw bytes since the last reset
  int32_t RxCount = 0;
  uint8_t Answer[Frame::BufferSize];    // decoded payload of the last complete frame
  int32_t AnswerLength = 0;
  uint8_t AckScan[Frame::BufferSize];   // write mode: the frame's leading part, searched for 10 02 06
  bool FrameReady = false;              // a complete, acceptable frame is in RxBuffer
  bool Refused = false;                 // write mode: a complete frame with a good CRC that starts with NAK
  bool Overflow = false;                // input beyond the buffers: the exchange must end
  bool CrcOk = false;                   // CRC of the last complete-looking frame matched

  // Empties the receiver for a new request; bytes held back are dropped.
  void Reset();
  // Empties the receiver after a data frame was taken and replays the bytes
  // that arrived while that frame was still waiting to be taken.
  void NextFrame(bool writeMode);
  // Appends one chunk read from the port and re-examines the whole buffer.
  void Feed(const uint8_t *data, size_t len, bool writeMode);

  // The frame is a final one: its first raw payload byte is ACK.
  bool Final() const { return RxBuffer[2] == Frame::ACK; }
  // The register's code carried by a refusal or a final frame: the second
  // decoded byte, unsigned.
  int32_t RegisterCode() const { return int32_t(Answer[1]); }
  std::string AnswerText() const {
    return std::string(reinterpret_cast<const char *>(Answer), size_t(AnswerLength));
  }
  size_t HeldBytes() const { return FHeld.size(); }
  const std::string &Held() const { return FHeld; }

 private:
  void Examine(bool writeMode);
  void ClearBuffer();
  // Bytes that came while FrameReady (or Refused) was set. The register waits for our
  // acknowledgement before it sends the next frame, but should two chunks be
  // handled in one pass of the event loop the second must not be glued onto
  // the first frame (which would spoil both).
  std::string FHeld;
};
